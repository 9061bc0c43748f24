// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/SyndromeReader.h"

namespace velquist::stealth {

void SyndromeReader::Read(std::span<const std::uint8_t> lowestBits,
                          std::span<const std::uint8_t> columns, std::span<std::uint8_t> bits) {
    // Bit j of the register is the partial sum of payload bit b + j: block b adds its columns'
    // bit j to it, and bit b is complete once block b is in.
    unsigned state = 0;
    const std::uint8_t* y = lowestBits.data();
    for (std::uint8_t& bit : bits) {
        for (std::uint8_t column : columns) state ^= column & -static_cast<unsigned>(*y++ & 1);
        bit = static_cast<std::uint8_t>(state & 1);
        state >>= 1;
    }
}

}  // namespace velquist::stealth
