#pragma once

#include <string>

#include "engine/MainWindowPort.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/YieldSlicer.h"

namespace velquist::bench {

// A headless platform for timing the passes: boxes are counted, not shown, and the yield
// costs what a time-sliced event loop costs when nothing is pending.
class BenchPlatform : public Platform, public MainWindowPort {
public:
    int MsgBox(const std::string& prompt, int style,
               const std::optional<std::string>& title) override;
    std::string InputBox(const std::string&, const std::string&, bool) override { return {}; }
    std::optional<std::string> OpenFileDialog(const std::string&, const std::string&,
                                              const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> BrowseForFolder(const std::string&) override { return std::nullopt; }
    void ShellOpen(const std::string&) override {}
    bool DeleteFile(const std::string&) override { return false; }
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& defaultText) override {
        return defaultText;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
    void Yield() override;
    void OpenWebAddress(const std::string&) override {}
    void EndProgram() override {}
    std::string AppFolder() override { return "."; }
    NumberedFiles& Files() override { return files_; }

    void SetStatusCaption(const std::string&) override {}
    void SetPercentCaption(const std::string&) override { ++percentCaptions; }
    bool PasswordTicked() const override { return false; }

    int errorBoxes = 0;
    long yields = 0;
    long percentCaptions = 0;
    long slices = 0;

private:
    NumberedFiles files_;
    YieldSlicer slicer_;
};

}  // namespace velquist::bench
