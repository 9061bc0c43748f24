// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

struct JobState;
struct HideOptions;
class HideJob;
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
    // Version 3: a message that does not fit is refused, one above the safe size needs a yes.
    bool StealthSizeAccepted(HideJob& job);
    void Run(HideJob& job, const HideOptions& options);
    // The choice the window's boxes make: protection, format version and password.
    HideOptions OptionsFromControls() const;

    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
