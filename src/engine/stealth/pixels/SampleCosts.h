// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "engine/stealth/LargeArray.h"

namespace velquist::stealth {

// What changing each sample costs, a byte a sample: the cost's exponent and its three highest
// fraction bits, so a code is an eighth of an octave wide (within 6 % of any cost in it) and
// codes span 2^-16 .. 2^16. A cost counts only against the others, so this is all the
// precision the code needs, and a 36-million-sample picture keeps its costs in 36 MB.
class SampleCosts {
public:
    static constexpr int kCodes = 256;

    explicit SampleCosts(std::uint64_t samples) : codes_(samples) {}

    // Costs below the range take the lowest code, above it the highest; `cost` is positive.
    static std::uint8_t Code(float cost) {
        const int code = static_cast<int>(std::bit_cast<std::uint32_t>(cost) >> kFractionShift) - kLowest;
        return static_cast<std::uint8_t>(code < 0 ? 0 : (code >= kCodes ? kCodes - 1 : code));
    }
    // The geometric middle of the code's costs.
    static float Value(std::uint8_t code) { return Table()[code]; }

    void Set(std::uint64_t sample, float cost) { codes_[sample] = Code(cost); }
    float Cost(std::uint64_t sample) const { return Value(codes_[sample]); }
    std::uint8_t CodeOf(std::uint64_t sample) const { return codes_[sample]; }
    const void* Address(std::uint64_t sample) const { return &codes_[sample]; }

private:
    // Exponent and three fraction bits of a float; the lowest code is 2^-16's.
    static constexpr int kFractionShift = 20;
    static constexpr int kLowest = (127 - 16) << 3;

    static const std::array<float, kCodes>& Table();

    LargeArray<std::uint8_t> codes_;
};

}  // namespace velquist::stealth
