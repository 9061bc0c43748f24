// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/KeyedOrder.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <stdexcept>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/Keystream.h"

namespace velquist::stealth {

namespace {

constexpr std::size_t kBatch = 4096;
// Steps between announcing a swap partner and swapping it: enough misses to memory under way.
constexpr std::size_t kLookAhead = 48;

}  // namespace

LargeArray<std::uint32_t> KeyedOrder::Shuffle(std::size_t n, std::span<const std::uint8_t, 32> key) {
    if (n > kMaxSamples) throw std::length_error("too many samples for one picture");
    LargeArray<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    Keystream stream(key);
    std::array<std::uint8_t, kBatch * 8> words;
    std::array<std::uint32_t, kBatch> partner;
    // Every partner of a batch is known before its first swap, so the swaps, bound by misses
    // to a[j] all over the array, can fetch ahead.
    for (std::uint64_t top = n == 0 ? 0 : n - 1; top >= 1;) {
        std::size_t steps = static_cast<std::size_t>(std::min<std::uint64_t>(kBatch, top));
        stream.Fill(std::span(words.data(), steps * 8));
        for (std::size_t k = 0; k < steps; ++k)
            partner[k] = static_cast<std::uint32_t>(bytes::LoadLE(&words[8 * k], 8) % (top - k + 1));
        for (std::size_t k = 0; k < steps; ++k) {
            if (k + kLookAhead < steps) __builtin_prefetch(&order[partner[k + kLookAhead]], 1);
            std::swap(order[top - k], order[partner[k]]);
        }
        top -= steps;
    }
    sodium_memzero(words.data(), words.size());
    return order;
}

}  // namespace velquist::stealth
