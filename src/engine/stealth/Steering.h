// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace velquist::stealth {

// One byte per sample that says which way its change would rather go and how its cost compares
// with the cost it has when nothing around it changes: bit 7 set for up, bits 0-6 the multiplier
// as 2^((e - 64) / 8), so a cost can shrink 256 times or grow almost as much in steps of 9%.
// The way is a vote: ChangeDirections settles it for the whole pixel.
class Steering {
public:
    static constexpr int kStepsPerOctave = 8;
    static constexpr int kLeast = -64;
    static constexpr int kMost = 63;

    // `steps` eighths of an octave (negative: cheaper), clamped to the range above.
    static std::uint8_t Pack(int steps, bool up) {
        int clamped = steps < kLeast ? kLeast : (steps > kMost ? kMost : steps);
        return static_cast<std::uint8_t>((up ? 0x80 : 0) | (clamped - kLeast));
    }
    static bool Up(std::uint8_t steering) { return (steering & 0x80) != 0; }
    static float Multiplier(std::uint8_t steering) { return kMultipliers[steering & 0x7F]; }

private:
    static inline const std::array<float, 128> kMultipliers = [] {
        std::array<float, 128> table{};
        for (int e = 0; e < 128; ++e)
            table[e] = std::exp2(static_cast<float>(e + kLeast) / kStepsPerOctave);
        return table;
    }();
};

}  // namespace velquist::stealth
