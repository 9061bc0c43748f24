// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/JUniwardCosts.h"

#include <algorithm>

#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/jpeg/JUniwardStrip.h"

namespace velquist::stealth {

namespace {

// Block rows a task: its margins, read twice, cost an eighth more.
constexpr std::uint32_t kStripBlocks = 16;

}  // namespace

void JUniwardCosts::FillComponent(const JpegComponent& component, std::span<float> costs,
                                  unsigned threads) const {
    const std::uint32_t strips = (component.blocksHigh + kStripBlocks - 1) / kStripBlocks;
    RunParallel(strips, threads, [&](std::size_t s) {
        const auto first = static_cast<std::uint32_t>(s * kStripBlocks);
        JUniwardStrip(component, first, std::min(component.blocksHigh, first + kStripBlocks)).Price(costs);
    });
}

}  // namespace velquist::stealth
