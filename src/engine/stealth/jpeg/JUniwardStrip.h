// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/stealth/jpeg/JpegView.h"

namespace velquist::stealth {

// The wavelet costs (JUniwardCosts) of the blocks of one strip of block rows of a component,
// [first, last). Everything it reads is its own, so strips run side by side: the decompressed
// rows from 15 above the strip to 15 below it with 15 columns mirrored on either side, their
// residuals, and the sums of the two passes.
class JUniwardStrip {
public:
    JUniwardStrip(const JpegComponent& component, std::uint32_t first, std::uint32_t last);

    // Writes the strip's blocks' costs into `costs`, the component's.
    void Price(std::span<float> costs);

private:
    void Decompress();
    // The block's pixels, without the level shift the residuals cannot see, into rows of width_
    // floats.
    void Inverse(std::int64_t block, float* out) const;
    // Adds one residual's share: `rows` filtered down the columns with the low- or high-pass
    // filter, its reciprocal, then the passes with the profiles of the filters down and along.
    void AddBand(const std::vector<float>& rows, bool highDown, bool highAlong, std::span<float> costs) const;

    const JpegComponent& c_;
    const std::int64_t first_, blocks_, width_;
    const std::int64_t inRows_, inWidth_, outRows_, outWidth_;
    std::vector<float> picture_;
};

}  // namespace velquist::stealth
