// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace velquist::stealth {

// The payload bits a coded segment carries: the syndrome of its lowest bits under the banded
// matrix built from the code columns. Reading a message is this and nothing more.
class SyndromeReader {
public:
    // `lowestBits` holds bits.size() blocks of columns.size() bits, one per byte (0 or 1).
    static void Read(std::span<const std::uint8_t> lowestBits, std::span<const std::uint8_t> columns,
                     std::span<std::uint8_t> bits);
};

}  // namespace velquist::stealth
