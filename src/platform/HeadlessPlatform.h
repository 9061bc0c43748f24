// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist {

// A platform without a user, for the benchmark and the fuzz targets: every box is kept and
// answered at once (No to questions), every dialog is cancelled, and nothing leaves the process.
class HeadlessPlatform : public Platform {
public:
    struct Box {
        std::string prompt;
        int style = 0;
        std::optional<std::string> title;
    };

    const std::vector<Box>& boxes() const { return boxes_; }

    int MsgBox(const std::string& prompt, int style,
               const std::optional<std::string>& title) override;
    std::string InputBox(const std::string&, const std::string&, bool) override { return ""; }
    std::optional<std::string> OpenFileDialog(const std::string&, const std::string&,
                                              const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> BrowseForFolder(const std::string&) override { return std::nullopt; }
    bool ShellOpen(const std::string&) override { return false; }
    bool DeleteFile(const std::string&) override { return false; }
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& defaultText) override {
        return defaultText;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
    void Yield() override {}
    void OpenWebAddress(const std::string&) override {}
    void EndProgram() override {}
    std::string AppFolder() override { return "/"; }
    std::string HomeFolder() override { return "/"; }
    std::string DocumentsFolder() override { return "/"; }
    NumberedFiles& Files() override { return files_; }

private:
    NumberedFiles files_;
    std::vector<Box> boxes_;
};

}  // namespace velquist
