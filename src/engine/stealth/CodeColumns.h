// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velquist::stealth {

// The seven-row submatrix of the syndrome-trellis code, one byte per column, drawn from a
// keystream keyed by the order key. Bits 0 and 6 of every column are set, so that each block
// reaches its own payload bit and the code's constraint spans all seven.
class CodeColumns {
public:
    static constexpr int kHeight = 7;
    static constexpr std::uint8_t kAlwaysSet = 0x41;

    // The first `width` columns; every segment uses a prefix of the same columns.
    static std::vector<std::uint8_t> Derive(std::span<const std::uint8_t, 32> orderKey,
                                            std::size_t width);
};

}  // namespace velquist::stealth
