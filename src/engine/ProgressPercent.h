// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "engine/JobState.h"

namespace velquist {

class PassProgress;

// Keeps Percent in step with GroupNo and reports the percentage only when its whole number
// changes. It changes about a hundred times in a pass, so the group where it next changes is
// worked out once and each group costs a compare; GroupNo may also move by many groups at once.
class ProgressPercent {
public:
    ProgressPercent(JobState& job, PassProgress& progress) : job_(job), progress_(progress) {}
    void GroupsDone() {
        if (job_.GroupNo >= nextChange_) Update();
    }

private:
    void Update();
    double PercentAt(std::int64_t group) const;

    JobState& job_;
    PassProgress& progress_;
    std::int64_t nextChange_ = 0;
};

}  // namespace velquist
