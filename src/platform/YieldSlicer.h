#pragma once

#include <chrono>
#include <cstdint>

namespace velquist {

// Decides when a yield called once per group should really run the event loop: at most every
// `slice`, and the clock is only read every 256 calls, so a call costs a counter increment.
class YieldSlicer {
public:
    explicit YieldSlicer(std::chrono::milliseconds slice = std::chrono::milliseconds(15))
        : slice_(slice) {}

    bool Due() {
        if (++calls_ % kCallsPerClockRead != 0) return false;
        auto now = std::chrono::steady_clock::now();
        if (now - last_ < slice_) return false;
        last_ = now;
        return true;
    }

private:
    static constexpr std::uint32_t kCallsPerClockRead = 256;
    std::chrono::steady_clock::duration slice_;
    std::chrono::steady_clock::time_point last_{};
    std::uint32_t calls_ = 0;
};

}  // namespace velquist
