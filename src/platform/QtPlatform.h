// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/YieldSlicer.h"

namespace velquist {

// The platform services on top of Qt Widgets: message and input boxes, the file and folder
// dialogs, the desktop's open action, the per-user settings and the event loop. Every Qt
// dialog the program shows is opened here and nowhere else.
class QtPlatform : public Platform {
public:
    int MsgBox(const std::string& prompt, int style,
               const std::optional<std::string>& title = std::nullopt,
               int defaultAnswer = kAnswerYes) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         bool masked) override;
    std::optional<std::string> OpenFileDialog(const std::string& title,
                                              const std::string& pattern,
                                              const std::string& initialFolder) override;
    std::optional<std::string> BrowseForFolder(const std::string& title) override;
    bool ShellOpen(const std::string& path) override;
    Removal MoveToTrash(const std::string& path) override;
    Removal DeleteFile(const std::string& path) override;
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultText) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& text) override;
    void Yield() override;
    void OpenWebAddress(const std::string& address) override;
    void EndProgram() override;
    std::string AppFolder() override;
    std::string HomeFolder() override;
    std::string DocumentsFolder() override;
    NumberedFiles& Files() override { return files_; }

    // "*.bmp" becomes "*.bmp (*.bmp)", the form the file dialog takes.
    static QString DialogFilter(const std::string& pattern);
    // A folder written with a drive and backslashes ("c:\") as a local folder ("/").
    static QString LocalFolder(const std::string& folder);
    // A chosen folder without its trailing "/", except the root itself.
    static std::string WithoutTrailingSlash(const QString& folder);

private:
    NumberedFiles files_;
    // Yield runs the event loop at most every 15 ms, so a pass may call it for every group.
    YieldSlicer slicer_;
};

}  // namespace velquist
