// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace velquist {

struct JobState;
class Platform;
class MainView;
struct BmpHeader;

// The carrier button: choose a picture, refuse one that is not 24-bit or cannot be read,
// preview it, and put the window into its holds-data or empty state.
class CarrierSelection {
public:
    CarrierSelection(JobState& job, Platform& platform, MainView& view)
        : job_(job), platform_(platform), view_(view) {}

    void cmdopen_Click();
    // The same inspection for a path that arrives without the dialog (a dropped file).
    void Choose(const std::string& path);
    // Shows the capacity hint again for the no-trace option as it now stands, while an empty
    // picture is open and no message file is chosen.
    void RefreshCapacity();

private:
    // The hint's two sizes for the open picture, in the window's kilobytes of 4092 bytes.
    struct Capacity {
        std::int64_t kilobytes = 0;
        std::int64_t safeKilobytes = 0;  // a version-3 file within 0.1 bits per sample
    };

    void Inspect(const std::string& previousPath);
    void ShowHiddenData(const BmpHeader& header);
    void ShowCapacity();

    JobState& job_;
    Platform& platform_;
    MainView& view_;
    Capacity capacity_;
};

}  // namespace velquist
