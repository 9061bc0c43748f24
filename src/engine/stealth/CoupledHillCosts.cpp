// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/CoupledHillCosts.h"

#include <algorithm>

#include "engine/stealth/HillCost.h"
#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/RandomBits.h"
#include "engine/stealth/Steering.h"

namespace velquist::stealth {

namespace {

constexpr std::uint32_t kRowsPerTask = 32;
constexpr std::uint64_t kNone = SampleGeometry::kNoSample;

}  // namespace

void CoupledHillCosts::FillBaseCosts(const PictureView& picture, std::span<float> costs,
                                     unsigned threads) const {
    HillCost::Fill(picture, costs, threads);
}

void CoupledHillCosts::FillSteering(const PictureView& picture,
                                    std::span<const std::int8_t> planned, const RandomBits& ties,
                                    std::span<std::uint8_t> steering, unsigned threads) const {
    const std::uint32_t height = picture.geometry.Height();
    RunParallel((height + kRowsPerTask - 1) / kRowsPerTask, threads, [&](std::size_t task) {
        const auto y0 = static_cast<std::uint32_t>(task * kRowsPerTask);
        for (std::uint32_t y = y0; y < std::min(height, y0 + kRowsPerTask); ++y)
            SteerRow(picture, planned, ties, steering, y);
    });
}

void CoupledHillCosts::SteerRow(const PictureView& picture, std::span<const std::int8_t> planned,
                                const RandomBits& ties, std::span<std::uint8_t> steering,
                                std::uint32_t y) const {
    const SampleGeometry& g = picture.geometry;
    auto at = [&](std::int64_t x, std::int64_t yy) {
        if (x < 0 || yy < 0 || x >= g.Width() || yy >= g.Height()) return kNone;
        return g.FirstSample(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(yy));
    };
    for (std::uint32_t x = 0; x < g.Width(); ++x) {
        const std::uint64_t first = g.FirstSample(x, y);
        if (first == kNone) continue;
        const std::uint64_t around[4] = {at(x - 1, y), at(x + 1, y), at(x, std::int64_t{y} - 1),
                                         at(x, std::int64_t{y} + 1)};
        const int pixelSum = planned[first] + planned[first + 1] + planned[first + 2];
        const bool tieUp = ties[std::size_t{y} * g.Width() + x];
        for (unsigned c = 0; c < 3; ++c) {
            const int own = planned[first + c];
            int nearby = 0;
            for (std::uint64_t n : around)
                if (n != kNone) nearby += planned[n + c];
            // Positive: the changes around pull this one up.
            const int pull = coupling_.self * own + coupling_.pixel * (pixelSum - own) +
                             coupling_.neighbour * nearby;
            const std::uint8_t value = picture.samples[first + c];
            bool up = pull > 0 || (pull == 0 && tieUp);
            if (value == 0) up = true;
            if (value == 255) up = false;
            steering[first + c] = Steering::Pack(up ? -pull : pull, up);
        }
    }
}

}  // namespace velquist::stealth
