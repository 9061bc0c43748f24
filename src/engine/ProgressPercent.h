// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace velquist {

class PassProgress;

// The percentage of a pass's groups done, reported only when its whole number changes. It
// changes about a hundred times in a pass, so the group where it next changes is worked out
// once and each group costs a compare; the groups done may also move by many at once.
class ProgressPercent {
public:
    ProgressPercent(std::int64_t groupCount, PassProgress& progress)
        : groupCount_(groupCount), progress_(progress) {}
    // `done` groups of the pass are done.
    void GroupsDone(std::int64_t done) {
        if (done >= nextChange_) Update(done);
    }

private:
    void Update(std::int64_t done);
    double PercentAt(std::int64_t group) const;

    std::int64_t groupCount_;
    PassProgress& progress_;
    double percent_ = 0.0;
    std::int64_t nextChange_ = 0;
};

}  // namespace velquist
