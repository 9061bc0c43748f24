// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/history/Pixels.h"

namespace velquist::history {

// How well a picture's 8 x 8 blocks fit a JPEG quantisation. A decoded JPEG block is the
// inverse transform of whole multiples of each frequency's step, rounded to whole samples, so
// its transform comes back within a fraction of a unit of those multiples; a picture that was
// never quantised has no such lattice.
struct BlockFit {
    // Per frequency (row of the vertical frequency times 8 plus the horizontal one), the step
    // whose multiples the coefficients cluster at; 0 where none fits (a step of 1, or too few
    // coefficients beyond the first multiple to tell).
    std::array<std::uint16_t, 64> steps{};
    // Where the grid examined starts: 0, 0 unless the picture was cropped off its grid.
    unsigned left = 0;
    unsigned top = 0;
    unsigned fittedFrequencies = 0;
    // Blocks examined: textured (not flat), no sample at 0 or 255 (clipping bends the
    // lattice), every pixel carrying, and each distinct content once.
    std::uint64_t blocks = 0;
    // Of the coefficients of the fitted frequencies beyond their step's first half, the share
    // that lie on a multiple of it.
    double fit = 0;
    // Against coefficients that lie beside a multiple as often as on it, in nats, summed over
    // the fitted frequencies.
    double evidence = 0;
};

class BlockQuantisation {
public:
    // The blocks of the grid whose first block starts at (left, top), at most `mostBlocks` of
    // them spread over the picture. Grey pictures are read by their red samples; others by
    // their luminance, which stays within about a third of a unit of the decoded JPEG's.
    static BlockFit Measure(const Pixels& pixels, bool grey, unsigned left, unsigned top, std::size_t mostBlocks);
};

}  // namespace velquist::history
