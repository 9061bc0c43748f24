// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsolePlatform.h"

#include <unistd.h>

#include <filesystem>

#include "cli/ErrorConsole.h"
#include "cli/Localization.h"
#include "cli/PasswordReader.h"

namespace velquist::cli {

// Nobody is there to answer a question, so every box is taken as acknowledged and a
// question as declined: the command line never opens, deletes or asks on its own.
int ConsolePlatform::MsgBox(const std::string& prompt, int style,
                            const std::optional<std::string>&) {
    console_.Say(Shown(prompt));
    return style == kStyleQuestion ? kAnswerNo : kAnswerOk;
}

std::string ConsolePlatform::InputBox(const std::string& prompt, const std::string&, bool) {
    return passwords_.Ask(Shown(prompt));
}

std::optional<std::string> ConsolePlatform::OpenFileDialog(const std::string&, const std::string&,
                                                           const std::string&) {
    return std::nullopt;
}

std::optional<std::string> ConsolePlatform::BrowseForFolder(const std::string&) {
    return std::nullopt;
}

bool ConsolePlatform::ShellOpen(const std::string&) { return false; }

bool ConsolePlatform::DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || ::access(path.c_str(), F_OK) != 0;
}

std::string ConsolePlatform::GetSetting(const std::string&, const std::string&, const std::string&,
                                        const std::string& defaultText) {
    return defaultText;
}

void ConsolePlatform::SaveSetting(const std::string&, const std::string&, const std::string&,
                                  const std::string&) {}

void ConsolePlatform::OpenWebAddress(const std::string&) {}

std::string ConsolePlatform::AppFolder() { return std::filesystem::current_path().string(); }

// The command line writes where it is told and opens no dialogs; these only fill the interface.
std::string ConsolePlatform::HomeFolder() { return AppFolder(); }

std::string ConsolePlatform::DocumentsFolder() { return AppFolder(); }

}  // namespace velquist::cli
