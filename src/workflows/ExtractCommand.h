#pragma once

namespace velquist {

struct JobState;
class Platform;
class MainView;
class ExtractionJob;

// The extract button: version and password checks, the extraction into the output folder,
// the offers to open and delete the result, and the wipe when that option is on.
class ExtractCommand {
public:
    ExtractCommand(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void cmdout_Click();

private:
    bool Refused();
    bool Opened(ExtractionJob& extraction);
    bool Checked(ExtractionJob& extraction);
    bool PasswordAccepted(ExtractionJob& extraction);
    void OfferOpenAndDelete();
    void Wipe();

    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
