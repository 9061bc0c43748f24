#include "cli/MessageExtension.h"

#include <algorithm>

namespace velquist::cli {

namespace {

// The extension becomes part of the extracted file's name, so a folder separator (a path
// like "dir./abc") does not count as one of its characters.
bool ExtensionChar(char c) { return c >= ' ' && c < 0x7F && c != '/'; }

}  // namespace

std::optional<std::string> MessageExtension(const std::string& path) {
    if (path.size() < 4 || path[path.size() - 4] != '.') return std::nullopt;
    std::string ext = path.substr(path.size() - 3);
    if (!std::all_of(ext.begin(), ext.end(), ExtensionChar)) return std::nullopt;
    return ext;
}

}  // namespace velquist::cli
