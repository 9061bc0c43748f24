// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist {

struct JobState;
class Platform;
class MainView;
struct CarrierHeader;

// The carrier button: choose a picture, refuse one that is not 24-bit or cannot be read,
// preview it, and put the window into its holds-data or empty state.
class CarrierSelection {
public:
    CarrierSelection(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void cmdopen_Click();
    // The same inspection for a path that arrives without the dialog (a dropped file).
    void Choose(const std::string& path);

private:
    void Inspect(const std::string& previousPath);
    void ShowHiddenData(const CarrierHeader& header);
    void ShowCapacity(const CarrierHeader& header);

    JobState& job_;
    Platform& platform_;
    MainView& view_;
};

}  // namespace velquist
