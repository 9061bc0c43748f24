// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Folder paths as this platform writes them.
namespace velquist {

inline constexpr char kFolderSeparator = '/';

// The folder with one separator at its end (an empty folder becomes the separator alone).
inline std::string WithSeparator(const std::string& folder) {
    return !folder.empty() && folder.back() == kFolderSeparator ? folder
                                                                : folder + kFolderSeparator;
}

// The folder part of a path ("." for a bare name, the root for a name in it).
inline std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of(kFolderSeparator);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string(1, kFolderSeparator) : path.substr(0, slash);
}

// The last part of a path, the file's own name.
inline std::string BaseNameOf(const std::string& path) {
    auto slash = path.find_last_of(kFolderSeparator);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace velquist
