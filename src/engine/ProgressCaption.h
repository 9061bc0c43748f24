// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "engine/JobState.h"

namespace velquist {

class MainWindowPort;
struct JobState;

// Keeps Percent in step with GroupNo after every group and sets the percentage caption
// ("45%") only when its text changes. The percentage only changes about a hundred times in a
// pass, so the group where it next changes is worked out once and each group costs a compare.
class ProgressCaption {
public:
    ProgressCaption(JobState& job, MainWindowPort& window) : job_(job), window_(window) {}
    void GroupDone() {
        if (job_.GroupNo >= nextChange_) Update();
    }

private:
    void Update();
    double PercentAt(std::int64_t group) const;

    JobState& job_;
    MainWindowPort& window_;
    std::int64_t nextChange_ = 0;
};

}  // namespace velquist
