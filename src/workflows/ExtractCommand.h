// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

namespace velquist {

struct JobState;
class Platform;
class MainView;
class Extraction;
struct Outcome;
struct PassContext;

// The extract button: version and password checks, the extraction into the output folder
// (never over the picture itself, and over an existing file only when the user agrees), the
// offers to open and delete the result, and the wipe when that option is on. The picture stays
// locked against other programs from the first check to the end of the wipe. A picture without
// a marker word is searched for a version-3 message when a password is ticked and typed: only
// the password can tell whether there is one.
class ExtractCommand {
public:
    ExtractCommand(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void cmdout_Click();

private:
    bool Refused();
    bool StealthAsked() const;
    std::unique_ptr<Extraction> Opened(PassContext& ctx);
    bool OutputAccepted(Extraction& extraction);
    bool PasswordAccepted(Extraction& extraction);
    bool Extracted(Extraction& extraction);
    void FollowUp(Extraction& extraction);
    void OfferOpenAndDelete();
    void Wipe(Extraction& extraction);
    bool Failed(const Outcome& outcome);

    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
