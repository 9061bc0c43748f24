// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/StartOutputFolder.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/Platform.h"

namespace velquist {

namespace {

// An installed program's folder belongs to the system, even where the user (root) may write
// there: extracted files must not land among the system's programs.
bool BelongsToTheSystem(const std::string& folder) {
    for (const char* system : {"/usr", "/opt"})
        if (folder == system || folder.starts_with(std::string(system) + "/")) return true;
    return false;
}

bool IsWritableFolder(const std::string& folder) {
    std::error_code error;
    return !folder.empty() && std::filesystem::is_directory(folder, error) &&
           ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string StartOutputFolder(Platform& platform) {
    const std::string program = platform.AppFolder();
    if (!BelongsToTheSystem(program) && IsWritableFolder(program)) return program;
    const std::string documents = platform.DocumentsFolder();
    std::error_code error;
    if (!documents.empty()) std::filesystem::create_directories(documents, error);
    if (IsWritableFolder(documents)) return documents;
    return platform.HomeFolder();
}

}  // namespace velquist
