// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist {

struct JobState;
class Platform;
class MainView;

// The message-file button: choose the file to hide and derive the three-character extension
// the carrier will store.
class MessageSelection {
public:
    MessageSelection(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void CmdMsgSelect_Click();
    // The same for a path that arrives without the dialog (a dropped file).
    void Choose(const std::string& path);

private:
    bool Allowed();
    void TakeOver(const std::string& path);
    void DeriveExtension();

    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
