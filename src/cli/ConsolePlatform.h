// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist::cli {

class ErrorConsole;
class PasswordReader;

// The platform services as a terminal provides them: boxes become lines on standard error,
// the input box asks for a password, and there are no dialogs, windows or settings.
class ConsolePlatform : public Platform {
public:
    ConsolePlatform(ErrorConsole& console, PasswordReader& passwords)
        : console_(console), passwords_(passwords) {}

    int MsgBox(const std::string& prompt, int style,
               const std::optional<std::string>& title = std::nullopt) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         bool masked) override;
    std::optional<std::string> OpenFileDialog(const std::string& title,
                                              const std::string& pattern,
                                              const std::string& initialFolder) override;
    std::optional<std::string> BrowseForFolder(const std::string& title) override;
    bool ShellOpen(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultText) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& text) override;
    void Yield() override {}
    void OpenWebAddress(const std::string& address) override;
    void EndProgram() override {}
    std::string AppFolder() override;
    std::string HomeFolder() override;
    std::string DocumentsFolder() override;
    NumberedFiles& Files() override { return files_; }

private:
    ErrorConsole& console_;
    PasswordReader& passwords_;
    NumberedFiles files_;
};

}  // namespace velquist::cli
