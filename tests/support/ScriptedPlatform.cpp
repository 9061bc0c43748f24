// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace velquist::testing {

void ScriptedPlatform::ClearRecords() {
    boxes_.clear();
    dialogs_.clear();
    shellOpened_.clear();
    trashed_.clear();
    deleted_.clear();
    webAddresses_.clear();
}

void ScriptedPlatform::ForgetScript() {
    questionAnswers_.clear();
    inputAnswers_.clear();
    fileAnswers_.clear();
    folderAnswers_.clear();
}

bool ScriptedPlatform::ScriptUsedUp() const {
    return questionAnswers_.empty() && inputAnswers_.empty() && fileAnswers_.empty() &&
           folderAnswers_.empty();
}

int ScriptedPlatform::MsgBox(const std::string& prompt, int style,
                             const std::optional<std::string>& title, int defaultAnswer) {
    boxes_.push_back(Box{prompt, style, title, style == kStyleQuestion ? defaultAnswer : kAnswerYes});
    if (onBox_) onBox_(boxes_.back());
    if (style != kStyleQuestion) return kAnswerOk;
    if (questionAnswers_.empty()) {
        ADD_FAILURE() << "unexpected question box: " << prompt;
        return kAnswerNo;
    }
    int answer = questionAnswers_.front();
    questionAnswers_.pop_front();
    return answer;
}

std::string ScriptedPlatform::InputBox(const std::string& prompt, const std::string& title,
                                       bool masked) {
    dialogs_.push_back(Dialog{"input", title, prompt, "", masked});
    if (inputAnswers_.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt;
        return "";
    }
    std::string answer = inputAnswers_.front();
    inputAnswers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPlatform::OpenFileDialog(const std::string& title,
                                                            const std::string& pattern,
                                                            const std::string& initialFolder) {
    dialogs_.push_back(Dialog{"open", title, pattern, initialFolder, false});
    if (fileAnswers_.empty()) {
        ADD_FAILURE() << "unexpected open-file dialog: " << title;
        return std::nullopt;
    }
    auto answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPlatform::BrowseForFolder(const std::string& title) {
    dialogs_.push_back(Dialog{"folder", title, "", "", false});
    if (folderAnswers_.empty()) {
        ADD_FAILURE() << "unexpected folder browser: " << title;
        return std::nullopt;
    }
    auto answer = folderAnswers_.front();
    folderAnswers_.pop_front();
    return answer;
}

Removal ScriptedPlatform::MoveToTrash(const std::string& path) {
    trashed_.push_back(path);
    if (trashAnswer_ != Removal::Trashed) return trashAnswer_;
    return ::unlink(path.c_str()) == 0 ? Removal::Trashed : Removal::Failed;
}

Removal ScriptedPlatform::DeleteFile(const std::string& path) {
    deleted_.push_back(path);
    if (failDeletes_) return Removal::Failed;
    return ::unlink(path.c_str()) == 0 ? Removal::Deleted : Removal::Failed;
}

std::string ScriptedPlatform::SettingKey(const std::string& application,
                                         const std::string& section, const std::string& key) {
    return application + "/" + section + "/" + key;
}

std::string ScriptedPlatform::GetSetting(const std::string& application,
                                         const std::string& section, const std::string& key,
                                         const std::string& defaultText) {
    auto it = settings_.find(SettingKey(application, section, key));
    return it == settings_.end() ? defaultText : it->second;
}

void ScriptedPlatform::SaveSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& text) {
    settings_[SettingKey(application, section, key)] = text;
}

void ScriptedPlatform::Yield() {
    ++yields_;
    // A click handler running inside a yield must not recurse into another yield's action.
    if (onYield_ && !inYield_) {
        inYield_ = true;
        onYield_();
        inYield_ = false;
    }
}

}  // namespace velquist::testing
