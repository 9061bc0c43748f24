// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/stealth/LargeArray.h"

namespace velquist::stealth {

// The cover in keyed order: for each position its sample and its lowest bit, read front to back
// by the embedder and the reader.
class KeyedCover {
public:
    // `lowest` holds the lowest bits in sample order, bit i % 64 of word i / 64 (Cover::LowestBits).
    KeyedCover(LargeArray<std::uint32_t> order, std::span<const std::uint64_t> lowest,
               unsigned threads);

    std::span<const std::uint32_t> Order() const { return order_; }
    std::uint32_t Sample(std::size_t position) const { return order_[position]; }
    unsigned LowestBit(std::size_t position) const { return (bits_[position / 64] >> (position % 64)) & 1; }
    // The lowest bits in keyed order, packed as `lowest` is.
    std::span<const std::uint64_t> Bits() const { return bits_; }

private:
    LargeArray<std::uint32_t> order_;
    std::vector<std::uint64_t> bits_;
};

}  // namespace velquist::stealth
