// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/stealth/LargeArray.h"

namespace velquist::stealth {

// The order in which the picture's samples carry the header and the message: a Fisher-Yates
// shuffle of 0 .. n-1 driven by the keystream of the order key, one 64-bit word per step.
// Entry k is the sample at position k. Samples of a picture are counted in 32 bits.
class KeyedOrder {
public:
    static constexpr std::size_t kMaxSamples = 0xFFFFFFFFu;

    // Uses up to `threads` threads (0: one per core). Throws std::length_error above
    // kMaxSamples.
    static LargeArray<std::uint32_t> Shuffle(std::size_t n, std::span<const std::uint8_t, 32> key,
                                             unsigned threads = 0);
};

}  // namespace velquist::stealth
