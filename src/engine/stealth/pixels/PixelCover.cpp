// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/PixelCover.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "engine/stealth/LargeArray.h"
#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/pixels/ChangeDirections.h"
#include "engine/stealth/pixels/RandomBits.h"

namespace velquist::stealth {

namespace {

// Samples ahead whose pixels are fetched while one is priced: the keyed order scatters them all
// over the picture.
constexpr std::size_t kFetchAhead = 16;
constexpr float kHeld = std::numeric_limits<float>::infinity();
constexpr std::size_t kWordsATask = std::size_t{1} << 14;

// Which samples a pass may toggle, by offset in their pixel: all of them at first, then red and
// blue, then green.
bool IsFree(unsigned pass, std::uint32_t sample) {
    switch (pass) {
        case 0: return true;
        case 1: return sample % 3 != 1;
        default: return sample % 3 == 1;
    }
}

}  // namespace

PixelCover::PixelCover(std::span<std::uint8_t> samples, const SampleGeometry& geometry,
                       const CostModel* model)
    : samples_(samples), geometry_(geometry), model_(model ? *model : defaultModel_) {
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
    model_.Fill({samples_, geometry_}, *costs_, threads);
}

void PixelCover::ToggleCosts(std::span<const std::uint32_t> samples, unsigned pass,
                             std::span<std::uint8_t> flipped, std::span<float> costs) const {
    const PixelCosts& pixels = *costs_;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (k + kFetchAhead < samples.size()) __builtin_prefetch(pixels.Address(samples[k + kFetchAhead]));
        const std::uint32_t s = samples[k];
        flipped[k] = pixels.Flipped(s);
        costs[k] = IsFree(pass, s) ? pixels.ToggleCost(s) : kHeld;
    }
}

std::vector<std::uint32_t> PixelCover::ApplyPlan(FreeChoices& choices) {
    LargeArray<std::int8_t> changes(samples_.size());
    for (std::size_t i = 0; i < samples_.size(); ++i) changes[i] = costs_->Flipped(i) ? 1 : 0;
    ChangeDirections::Choose({samples_, geometry_},
                             RandomBits(std::size_t{geometry_.Width()} * geometry_.Height(), choices),
                             changes);
    std::vector<std::uint32_t> changed;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        if (changes[i] == 0) continue;
        samples_[i] = static_cast<std::uint8_t>(samples_[i] + changes[i]);
        changed.push_back(static_cast<std::uint32_t>(i));
    }
    return changed;
}

}  // namespace velquist::stealth
