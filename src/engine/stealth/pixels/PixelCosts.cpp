// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/PixelCosts.h"

#include <algorithm>

#include "engine/stealth/ParallelTasks.h"

namespace velquist::stealth {

void PixelCosts::ClearFlips() {
    for (Pixel& p : pixels_) p.flips = 0;
}

void PixelCosts::Advance(unsigned threads) {
    constexpr std::size_t kTask = std::size_t{1} << 20;
    RunParallel((pixels_.size() + kTask - 1) / kTask, threads, [&](std::size_t task) {
        const std::size_t end = std::min(pixels_.size(), (task + 1) * kTask);
        for (std::size_t i = task * kTask; i < end; ++i) pixels_[i].flips = pixels_[i].flips >> kNext;
    });
}

float PixelCosts::PixelDistortion(std::uint64_t sample) const {
    const Pixel& p = Of(sample);
    return Distortion(p, Flips(p));
}

}  // namespace velquist::stealth
