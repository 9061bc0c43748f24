// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/KeyedCover.h"

#include <vector>

namespace velquist::stealth {

namespace {

constexpr std::size_t kFetchAhead = 16;

}  // namespace

KeyedCover::KeyedCover(LargeArray<std::uint32_t> order, std::span<const float> sampleCosts,
                       std::span<const std::uint8_t> samples)
    : order_(std::move(order)), costs_(order_.size()), bits_(order_.size() / 64 + 1, 0) {
    // The lowest bits first packed in sample order, small enough to stay in the cache while
    // they are fetched in keyed order.
    std::vector<std::uint64_t> lowest(samples.size() / 64 + 1, 0);
    for (std::size_t i = 0; i < samples.size(); ++i)
        lowest[i / 64] |= std::uint64_t{samples[i] & 1u} << (i % 64);
    for (std::size_t k = 0; k < order_.size(); ++k) {
        if (k + kFetchAhead < order_.size()) __builtin_prefetch(&sampleCosts[order_[k + kFetchAhead]]);
        const std::uint32_t s = order_[k];
        costs_[k] = sampleCosts[s];
        bits_[k / 64] |= ((lowest[s / 64] >> (s % 64)) & 1) << (k % 64);
    }
}

}  // namespace velquist::stealth
