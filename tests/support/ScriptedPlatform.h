// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist::testing {

// A platform that records every box and dialog in order and answers them from a script.
// A question box, input box or dialog with no scripted answer fails the running test.
class ScriptedPlatform : public Platform {
public:
    struct Box {
        std::string prompt;
        int style = 0;
        std::optional<std::string> title;
        int defaultAnswer = kAnswerYes;  // what Return gives in a question
        bool operator==(const Box&) const = default;
    };
    struct Dialog {
        std::string kind;  // "open", "folder" or "input"
        std::string title;
        std::string pattern;  // open: the filter; input: the prompt
        std::string initialFolder;
        bool masked = false;
    };

    // Scripting.
    void AnswerQuestion(int answer) { questionAnswers_.push_back(answer); }
    void AnswerInput(std::string text) { inputAnswers_.push_back(std::move(text)); }
    void AnswerOpenFile(std::optional<std::string> path) { fileAnswers_.push_back(std::move(path)); }
    void AnswerFolder(std::optional<std::string> folder) { folderAnswers_.push_back(std::move(folder)); }
    void SetAppFolder(std::string folder) { appFolder_ = std::move(folder); }
    void FailDeletes(bool fail) { failDeletes_ = fail; }
    // What moving a file to the trash ends in; Trashed (the file goes) unless told otherwise.
    void AnswerTrash(Removal removal) { trashAnswer_ = removal; }
    // Makes the shell find no program for any file.
    void FailShellOpen(bool fail) { failShellOpen_ = fail; }
    void SetHomeFolder(std::string folder) { homeFolder_ = std::move(folder); }
    void SetDocumentsFolder(std::string folder) { documentsFolder_ = std::move(folder); }
    // Runs inside every yield (a click arriving while a pass works, say).
    void OnYield(std::function<void()> action) { onYield_ = std::move(action); }
    // Runs when a box is shown, before it is answered (to look at the window meanwhile).
    void OnBox(std::function<void(const Box&)> action) { onBox_ = std::move(action); }

    // What happened.
    const std::vector<Box>& boxes() const { return boxes_; }
    const std::vector<Dialog>& dialogs() const { return dialogs_; }
    const std::vector<std::string>& shellOpened() const { return shellOpened_; }
    const std::vector<std::string>& trashed() const { return trashed_; }
    const std::vector<std::string>& deleted() const { return deleted_; }
    const std::vector<std::string>& webAddresses() const { return webAddresses_; }
    std::map<std::string, std::string>& settings() { return settings_; }
    long yields() const { return yields_; }
    bool ended() const { return ended_; }
    void ClearRecords();
    // Drops the answers not yet used (a command cut short left them).
    void ForgetScript();
    // True when every scripted answer has been used.
    bool ScriptUsedUp() const;

    // Platform.
    int MsgBox(const std::string& prompt, int style, const std::optional<std::string>& title,
               int defaultAnswer = kAnswerYes) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         bool masked) override;
    std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& pattern,
                                              const std::string& initialFolder) override;
    std::optional<std::string> BrowseForFolder(const std::string& title) override;
    bool ShellOpen(const std::string& path) override {
        shellOpened_.push_back(path);
        return !failShellOpen_;
    }
    Removal MoveToTrash(const std::string& path) override;
    Removal DeleteFile(const std::string& path) override;
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultText) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& text) override;
    void Yield() override;
    void OpenWebAddress(const std::string& address) override { webAddresses_.push_back(address); }
    void EndProgram() override { ended_ = true; }
    std::string AppFolder() override { return appFolder_; }
    std::string HomeFolder() override { return homeFolder_; }
    std::string DocumentsFolder() override { return documentsFolder_; }
    NumberedFiles& Files() override { return files_; }

    static std::string SettingKey(const std::string& application, const std::string& section,
                                  const std::string& key);

private:
    NumberedFiles files_;
    std::deque<int> questionAnswers_;
    std::deque<std::string> inputAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::deque<std::optional<std::string>> folderAnswers_;
    std::vector<Box> boxes_;
    std::vector<Dialog> dialogs_;
    std::vector<std::string> shellOpened_;
    std::vector<std::string> trashed_;
    std::vector<std::string> deleted_;
    std::vector<std::string> webAddresses_;
    std::map<std::string, std::string> settings_;
    std::function<void()> onYield_;
    std::function<void(const Box&)> onBox_;
    std::string appFolder_ = "/opt/velquist";
    std::string homeFolder_ = "/home/user";
    std::string documentsFolder_ = "/home/user/Documents";
    bool failShellOpen_ = false;
    long yields_ = 0;
    bool ended_ = false;
    bool failDeletes_ = false;
    Removal trashAnswer_ = Removal::Trashed;
    bool inYield_ = false;
};

}  // namespace velquist::testing
