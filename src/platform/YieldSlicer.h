// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace velquist {

// Decides when a yield should really run the event loop: at most once per `slice`. Callers
// that yield in quick succession (a pass, once per group) share one clock read among up to
// 256 calls, so such a call costs a counter increment; an occasional caller (an animation
// step) reads the clock every time.
class YieldSlicer {
public:
    using Clock = std::chrono::steady_clock;

    explicit YieldSlicer(std::chrono::milliseconds slice = std::chrono::milliseconds(15))
        : slice_(slice) {}

    bool Due() {
        if (++calls_ < stride_) return false;
        calls_ = 0;
        Clock::time_point now = Clock::now();
        stride_ = now - lastRead_ < kQuick ? std::min(stride_ * 2, kMaxStride) : 1;
        lastRead_ = now;
        if (now - lastRun_ < slice_) return false;
        lastRun_ = now;
        return true;
    }

private:
    static constexpr std::uint32_t kMaxStride = 256;
    static constexpr std::chrono::microseconds kQuick{50};
    Clock::duration slice_;
    Clock::time_point lastRead_{};
    Clock::time_point lastRun_{};
    std::uint32_t calls_ = 0;
    std::uint32_t stride_ = 1;
};

}  // namespace velquist
