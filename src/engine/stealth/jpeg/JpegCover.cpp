// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/JpegCover.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "engine/stealth/ParallelTasks.h"

namespace velquist::stealth {

namespace {

// Samples ahead whose cost and plan word are fetched while one is priced: the keyed order
// scatters them all over the picture.
constexpr std::size_t kFetchAhead = 16;
constexpr float kHeld = std::numeric_limits<float>::infinity();

std::uint64_t Bit(std::uint32_t sample) { return std::uint64_t{1} << (sample % 64); }

// One bit of the hide's free choices for each of `count` changes.
std::vector<std::uint8_t> Ways(std::size_t count, FreeChoices& choices) {
    std::vector<std::uint8_t> bytes(count / 8 + 1);
    choices.Fill(bytes);
    return bytes;
}

}  // namespace

JpegCover::JpegCover(JpegView view, const JpegCostModel& model)
    : view_(std::move(view)), model_(model) {
    view_.Check();
    starts_ = view_.ComponentStarts();
    size_ = starts_.back();
    plan_.assign(size_ / 64 + 1, 0);
    next_.assign(size_ / 64 + 1, 0);
}

std::int16_t& JpegCover::Coefficient(std::uint32_t sample) {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), std::uint64_t{sample});
    const auto component = static_cast<std::size_t>(after - starts_.begin() - 1);
    return view_.components[component].coefficients[sample - starts_[component]];
}

bool JpegCover::Planned(std::uint32_t sample) const {
    const std::uint64_t word =
        std::atomic_ref(const_cast<std::uint64_t&>(plan_[sample / 64])).load(std::memory_order_relaxed);
    return (word & Bit(sample)) != 0;
}

void JpegCover::LowestBits(std::span<std::uint64_t> packed, unsigned threads) const {
    // Whole words a task, so that no two threads write the same word.
    constexpr std::size_t kWordsATask = std::size_t{1} << 14;
    const std::size_t words = packed.size();
    RunParallel((words + kWordsATask - 1) / kWordsATask, threads, [&](std::size_t task) {
        const std::uint64_t from = task * kWordsATask * 64;
        const std::uint64_t to = std::min<std::uint64_t>(size_, (task + 1) * kWordsATask * 64);
        for (std::size_t c = 0; c < view_.components.size(); ++c) {
            const std::uint64_t begin = std::max(from, starts_[c]), end = std::min(to, starts_[c + 1]);
            const std::span<const std::int16_t> values = view_.components[c].coefficients;
            for (std::uint64_t i = begin; i < end; ++i)
                packed[i / 64] |= std::uint64_t{static_cast<std::uint16_t>(values[i - starts_[c]]) & 1u} << (i % 64);
        }
    });
}

void JpegCover::PrepareCosts(unsigned threads) {
    costs_ = LargeArray<float>(size_);
    model_.Fill(view_, costs_, threads);
}

void JpegCover::ToggleCosts(std::span<const std::uint32_t> samples, unsigned, std::span<std::uint8_t> flipped,
                            std::span<float> costs) const {
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (k + kFetchAhead < samples.size()) {
            const std::uint32_t ahead = samples[k + kFetchAhead];
            __builtin_prefetch(&costs_[ahead]);
            __builtin_prefetch(&plan_[ahead / 64]);
        }
        const std::uint32_t s = samples[k];
        const bool planned = Planned(s);
        const float cost = costs_[s];
        flipped[k] = planned;
        costs[k] = cost == kHeld ? kHeld : (planned ? -cost : cost);
    }
}

void JpegCover::ClearPlan() {
    std::fill(plan_.begin(), plan_.end(), 0);
    std::fill(next_.begin(), next_.end(), 0);
}

void JpegCover::Toggle(std::uint32_t sample) {
    std::atomic_ref(plan_[sample / 64]).fetch_xor(Bit(sample), std::memory_order_relaxed);
}

void JpegCover::PlanNextFlip(std::uint32_t sample) {
    std::atomic_ref(next_[sample / 64]).fetch_or(Bit(sample), std::memory_order_relaxed);
}

void JpegCover::AdvancePlan(unsigned) {
    plan_.swap(next_);
    std::fill(next_.begin(), next_.end(), 0);
}

std::vector<std::uint32_t> JpegCover::ApplyPlan(FreeChoices& choices) {
    std::vector<std::uint32_t> changed;
    for (std::size_t w = 0; w < plan_.size(); ++w)
        for (std::uint64_t bits = plan_[w]; bits != 0; bits &= bits - 1) {
            const auto sample = static_cast<std::uint32_t>(w * 64 + static_cast<unsigned>(std::countr_zero(bits)));
            if (costs_.size() != size_ || costs_[sample] == kHeld) throw std::logic_error("the plan changes a coefficient that is held");
            changed.push_back(sample);
        }
    const std::vector<std::uint8_t> ways = Ways(changed.size(), choices);
    for (std::size_t k = 0; k < changed.size(); ++k) {
        std::int16_t& value = Coefficient(changed[k]);
        const bool up = value <= -kLimit || (value < kLimit && ((ways[k / 8] >> (k % 8)) & 1));
        value = static_cast<std::int16_t>(value + (up ? 1 : -1));
    }
    return changed;
}

}  // namespace velquist::stealth
