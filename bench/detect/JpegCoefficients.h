// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace velquist::detect {

// One component's quantised DCT coefficients: its blocks row by row, each block's 64 values in
// natural (row-major) order, and the quantisation steps in the same order.
struct JpegComponent {
    int blocksWide = 0;
    int blocksHigh = 0;
    std::array<int, 64> steps{};
    std::vector<std::int16_t> values;
};

// The coefficients of a whole JPEG, component by component (luminance first).
struct JpegCoefficients {
    int width = 0;
    int height = 0;
    std::vector<JpegComponent> components;

    // Non-zero AC coefficients over all components: what payloads in bits per non-zero AC
    // coefficient are counted against.
    std::int64_t nonZeroAc() const;
    // Coefficients that differ from `other`'s, which must have the same layout.
    std::int64_t changedFrom(const JpegCoefficients& other) const;
};

// The largest magnitude a quantised coefficient of an 8-bit JPEG may take.
inline constexpr int kCoefficientLimit = 1023;

}  // namespace velquist::detect
