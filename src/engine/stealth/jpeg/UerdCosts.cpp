// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/UerdCosts.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "engine/stealth/ParallelTasks.h"

namespace velquist::stealth {

namespace {

constexpr float kNeighbourWeight = 0.25f;
constexpr std::uint32_t kRowsATask = 64;

// Each block's AC energy: the sum of its AC coefficients' magnitudes, each times its step.
std::vector<float> Energies(const JpegComponent& c, unsigned threads) {
    std::vector<float> energy(c.Blocks());
    RunParallel((c.blocksHigh + kRowsATask - 1) / kRowsATask, threads, [&](std::size_t task) {
        const std::uint64_t from = task * kRowsATask * c.blocksWide;
        const std::uint64_t to = std::min<std::uint64_t>(c.blocksHigh, (task + 1) * kRowsATask) * c.blocksWide;
        for (std::uint64_t b = from; b < to; ++b) {
            const auto block = c.Block(b);
            float sum = 0;
            for (std::size_t i = 1; i < JpegComponent::kBlock; ++i)
                sum += static_cast<float>(std::abs(block[i])) * static_cast<float>(c.steps[i]);
            energy[b] = sum;
        }
    });
    return energy;
}

}  // namespace

void UerdCosts::FillComponent(const JpegComponent& c, std::span<float> costs, unsigned threads) const {
    const std::vector<float> energy = Energies(c, threads);
    std::array<float, JpegComponent::kBlock> steps;
    std::copy(c.steps.begin(), c.steps.end(), steps.begin());
    steps[0] = 0.5f * (static_cast<float>(c.steps[1]) + static_cast<float>(c.steps[8]));
    const auto wide = static_cast<std::int64_t>(c.blocksWide), high = static_cast<std::int64_t>(c.blocksHigh);
    RunParallel((c.blocksHigh + kRowsATask - 1) / kRowsATask, threads, [&](std::size_t task) {
        const auto last = std::min<std::int64_t>(high, static_cast<std::int64_t>(task + 1) * kRowsATask);
        for (auto y = static_cast<std::int64_t>(task) * kRowsATask; y < last; ++y)
            for (std::int64_t x = 0; x < wide; ++x) {
                float around = 0;
                for (std::int64_t ny = std::max<std::int64_t>(0, y - 1); ny <= std::min(high - 1, y + 1); ++ny)
                    for (std::int64_t nx = std::max<std::int64_t>(0, x - 1); nx <= std::min(wide - 1, x + 1); ++nx)
                        around += energy[static_cast<std::size_t>(ny * wide + nx)];
                const std::size_t b = static_cast<std::size_t>(y * wide + x);
                // A flat block's coefficients are held afterwards; its neighbours' energy keeps
                // the quotient finite meanwhile.
                const float total = energy[b] + kNeighbourWeight * (around - energy[b]);
                const float scale = total > 0 ? 1.0f / total : 1.0f;
                float* out = costs.data() + b * JpegComponent::kBlock;
                for (std::size_t i = 0; i < JpegComponent::kBlock; ++i) out[i] = steps[i] * scale;
            }
    });
}

}  // namespace velquist::stealth

