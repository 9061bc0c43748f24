// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace velquist::stealth {

// One component of a JPEG as its quantised coefficients: the blocks that cover the picture
// (never the padding blocks that only fill an MCU), row by row from the top, each block's 64
// coefficients in natural order (row v, column u at 8v + u; DC first).
struct JpegComponent {
    static constexpr std::size_t kBlock = 64;

    unsigned h = 1, v = 1;  // sampling factors
    std::uint32_t blocksWide = 0, blocksHigh = 0;
    std::array<std::uint16_t, kBlock> steps{};  // quantisation steps, natural order
    std::span<std::int16_t> coefficients;       // kBlock a block, owned by the caller

    std::uint64_t Blocks() const { return std::uint64_t{blocksWide} * blocksHigh; }
    std::span<std::int16_t, kBlock> Block(std::uint64_t block) const {
        return coefficients.subspan(block * kBlock).first<kBlock>();
    }
    // The 63 AC coefficients are all zero: such a block never changes.
    bool Flat(std::uint64_t block) const;
};

// A JPEG's coefficients as the cover sees them, without owning them: the picture's size and its
// components in the order of the frame header. Its cover sequence is the components one after
// the other, each block after block, each coefficient after coefficient.
struct JpegView {
    std::uint32_t width = 0, height = 0;
    std::vector<JpegComponent> components;

    // How many coefficients the cover sequence has.
    std::uint64_t SampleCount() const;
    // Where each component's coefficients start in the cover sequence, with the count at the end.
    std::vector<std::uint64_t> ComponentStarts() const;
    // Throws std::invalid_argument unless the view is one the cover can take: 1 or 3 components,
    // each with its coefficients for blocksWide x blocksHigh blocks and steps of at least 1,
    // sampling factors 1 to 4, and fewer than 2^32 coefficients in all.
    void Check() const;
};

}  // namespace velquist::stealth
