// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/PixelCover.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/pixels/HillCost.h"
#include "engine/stealth/pixels/RandomBits.h"

namespace velquist::stealth {

namespace {

// Samples ahead whose costs are fetched while one is priced: the keyed order scatters them all
// over the picture.
constexpr std::size_t kFetchAhead = 16;
constexpr float kHeld = std::numeric_limits<float>::infinity();
constexpr std::size_t kWordsATask = std::size_t{1} << 14;

}  // namespace

PixelCover::PixelCover(std::span<std::uint8_t> samples, const SampleGeometry& geometry,
                       float sharpness)
    : samples_(samples), geometry_(geometry), sharpness_(sharpness) {
    if (samples.size() != geometry.SampleCount())
        throw std::invalid_argument("the samples are not the picture's cover sequence");
}

void PixelCover::LowestBits(std::span<std::uint64_t> packed, unsigned threads) const {
    const std::size_t words = (samples_.size() + 63) / 64;
    RunParallel((words + kWordsATask - 1) / kWordsATask, threads, [&](std::size_t task) {
        const std::size_t end = std::min(words, (task + 1) * kWordsATask);
        for (std::size_t w = task * kWordsATask; w < end; ++w) {
            const std::size_t first = 64 * w;
            const std::size_t count = std::min<std::size_t>(64, samples_.size() - first);
            std::uint64_t word = 0;
            for (std::size_t b = 0; b < count; ++b) word |= std::uint64_t{samples_[first + b] & 1u} << b;
            packed[w] = word;
        }
    });
}

void PixelCover::PrepareCosts(unsigned threads) {
    costs_.emplace(samples_.size());
    HillCost::Fill({samples_, geometry_}, *costs_, threads);
    for (int code = 0; code < SampleCosts::kCodes; ++code)
        toggleCost_[code] = std::pow(SampleCosts::Value(static_cast<std::uint8_t>(code)), sharpness_);
    planned_.assign(samples_.size() / 64 + 1, 0);
}

bool PixelCover::Planned(std::uint32_t sample) const {
    const std::uint64_t word =
        std::atomic_ref(const_cast<std::uint64_t&>(planned_[sample / 64])).load(std::memory_order_relaxed);
    return (word >> (sample % 64)) & 1;
}

void PixelCover::ToggleCosts(std::span<const std::uint32_t> samples, unsigned pass,
                             std::span<std::uint8_t> flipped, std::span<float> costs) const {
    const SampleCosts& prices = *costs_;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (k + kFetchAhead < samples.size()) __builtin_prefetch(prices.Address(samples[k + kFetchAhead]));
        const std::uint32_t s = samples[k];
        flipped[k] = Planned(s);
        const float cost = toggleCost_[prices.CodeOf(s)];
        costs[k] = pass != 0 ? kHeld : (flipped[k] ? -cost : cost);
    }
}

void PixelCover::ClearPlan() { std::fill(planned_.begin(), planned_.end(), 0); }

// Several threads plan flips at once, in words they may share.
void PixelCover::Toggle(std::uint32_t sample) {
    std::atomic_ref(planned_[sample / 64]).fetch_xor(std::uint64_t{1} << (sample % 64), std::memory_order_relaxed);
}

void PixelCover::PlanNextFlip(std::uint32_t sample) {
    std::atomic_ref(planned_[sample / 64]).fetch_or(std::uint64_t{1} << (sample % 64), std::memory_order_relaxed);
}

std::vector<std::uint32_t> PixelCover::ApplyPlan(FreeChoices& choices) {
    std::size_t count = 0;
    for (std::uint64_t word : planned_) count += static_cast<std::size_t>(std::popcount(word));
    const RandomBits up(count, choices);
    std::vector<std::uint32_t> changed;
    changed.reserve(count);
    for (std::size_t w = 0; w < planned_.size(); ++w)
        for (std::uint64_t word = planned_[w]; word != 0; word &= word - 1) {
            const auto s = static_cast<std::uint32_t>(64 * w + static_cast<unsigned>(std::countr_zero(word)));
            std::uint8_t& value = samples_[s];
            const bool goesUp = value == 0 || (value != 255 && up[changed.size()]);
            value = static_cast<std::uint8_t>(goesUp ? value + 1 : value - 1);
            changed.push_back(s);
        }
    return changed;
}

}  // namespace velquist::stealth
