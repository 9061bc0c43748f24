// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/format/StoredNames.h"

namespace velquist::stored_names {

char SafeFileNameChar(std::uint8_t byte) {
    if (byte < 0x20 || byte >= 0x7F || byte == '/' || byte == '\\') return '_';
    return static_cast<char>(byte);
}

std::optional<std::string> StorableExtension(const std::string& path) {
    if (path.size() < 4 || path[path.size() - 4] != '.') return std::nullopt;
    std::string extension;
    for (std::size_t i = path.size() - 3; i < path.size(); ++i) {
        auto c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || c > 0x7E) return std::nullopt;
        // A folder separator would send the extraction's output into another folder.
        extension.push_back(SafeFileNameChar(c));
    }
    return extension;
}

std::string OutputFileFor(const std::string& outPath, const std::string& extension) {
    return outPath + kOutputStem + extension;
}

}  // namespace velquist::stored_names
