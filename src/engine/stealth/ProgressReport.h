// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <mutex>

namespace velquist::stealth {

// Hands the caller's progress callback a fraction from 0 to 1 that never goes back, one call at
// a time, whichever worker thread reports.
class ProgressReport {
public:
    explicit ProgressReport(std::function<void(double)> callback) : callback_(std::move(callback)) {}

    // Reports `fraction` of the stage that spans [from, to) of the whole.
    void Stage(double from, double to, double fraction) { Report(from + (to - from) * fraction); }

    void Report(double fraction) {
        if (!callback_) return;
        std::lock_guard lock(lock_);
        if (fraction <= reported_) return;
        reported_ = fraction > 1 ? 1 : fraction;
        callback_(reported_);
    }

private:
    std::function<void(double)> callback_;
    std::mutex lock_;
    double reported_ = -1;
};

}  // namespace velquist::stealth
