// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

struct JobState;
class Platform;
class MainView;

// The output-folder button: choose where extracted files go for the rest of the run. When
// the current carrier holds data, the extraction target shown follows the new folder.
class OutputFolderSelection {
public:
    OutputFolderSelection(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void cmdchgOutPath_Click();

private:
    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
