// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist {

struct JobState;
class Platform;
class MainView;
class ExtractionJob;
struct Outcome;

// The extract button: version and password checks, the extraction into the output folder
// (never over the picture itself, and over an existing file only when the user agrees), the
// offers to open and delete the result, and the wipe when that option is on. The picture stays
// locked against other programs from the first check to the end of the wipe.
class ExtractCommand {
public:
    ExtractCommand(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void cmdout_Click();

private:
    bool Refused();
    bool Prepared(ExtractionJob& extraction);
    bool OutputAccepted(ExtractionJob& extraction);
    bool PasswordAccepted(ExtractionJob& extraction);
    bool Extracted(ExtractionJob& extraction);
    void OfferOpenAndDelete();
    void Wipe(ExtractionJob& extraction);
    bool Failed(const Outcome& outcome);

    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
