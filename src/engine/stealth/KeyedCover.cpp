// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/KeyedCover.h"

#include <algorithm>
#include <vector>

#include "engine/stealth/ParallelTasks.h"

namespace velquist::stealth {

KeyedCover::KeyedCover(LargeArray<std::uint32_t> order, std::span<const std::uint8_t> samples,
                       unsigned threads)
    : order_(std::move(order)), bits_(order_.size() / 64 + 1, 0) {
    // The lowest bits first packed in sample order, small enough to stay in the cache while
    // they are fetched in keyed order.
    std::vector<std::uint64_t> lowest(samples.size() / 64 + 1, 0);
    for (std::size_t i = 0; i < samples.size(); ++i)
        lowest[i / 64] |= std::uint64_t{samples[i] & 1u} << (i % 64);
    // Whole words of bits a task, so that no two threads write the same word.
    const std::size_t words = order_.size() / 64 + 1;
    const std::size_t tasks = std::min<std::size_t>(64, words);
    RunParallel(tasks, threads, [&](std::size_t task) {
        const std::size_t from = std::min(order_.size(), words * task / tasks * 64);
        const std::size_t to = std::min(order_.size(), words * (task + 1) / tasks * 64);
        for (std::size_t k = from; k < to; ++k) {
            const std::uint32_t s = order_[k];
            bits_[k / 64] |= ((lowest[s / 64] >> (s % 64)) & 1) << (k % 64);
        }
    });
}

}  // namespace velquist::stealth
