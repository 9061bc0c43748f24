// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/KeyedCover.h"

#include <algorithm>

#include "engine/stealth/ParallelTasks.h"

namespace velquist::stealth {

// The lowest bits in sample order are small enough to stay in the cache while they are fetched
// in keyed order.
KeyedCover::KeyedCover(LargeArray<std::uint32_t> order, std::span<const std::uint64_t> lowest,
                       unsigned threads)
    : order_(std::move(order)), bits_(order_.size() / 64 + 1, 0) {
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
