// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

struct JobState;
struct HideOptions;
class Platform;
class MainView;

// The password option and the hide button.
class HideCommand {
public:
    HideCommand(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void ChkPassword_Click();
    void ChkEncrypt_Click();
    void cmdadd_Click();

private:
    bool Refused();
    // The choice the window's boxes make: protection, format version and password.
    HideOptions OptionsFromControls() const;

    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
