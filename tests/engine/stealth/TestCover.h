// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "engine/stealth/Cover.h"

namespace velquist::stealth::testing {

// A cover of plain values for the core alone: a sample's lowest bit is its value's, a flip costs
// the sample's price whatever else is planned, +infinity where it may not change, and a planned
// flip adds 1. It records whether the plan was ever applied.
class TestCover final : public Cover {
public:
    TestCover(std::vector<std::uint8_t> values, std::vector<float> prices)
        : values_(std::move(values)), prices_(std::move(prices)), flips_(values_.size()),
          next_(values_.size()) {}

    std::uint64_t Size() const override { return values_.size(); }
    void LowestBits(std::span<std::uint64_t> packed, unsigned) const override {
        for (std::size_t i = 0; i < values_.size(); ++i)
            packed[i / 64] |= std::uint64_t{values_[i] & 1u} << (i % 64);
    }
    void PrepareCosts(unsigned) override {}
    void ToggleCosts(std::span<const std::uint32_t> samples, unsigned, std::span<std::uint8_t> flipped,
                     std::span<float> costs) const override {
        for (std::size_t k = 0; k < samples.size(); ++k) {
            flipped[k] = flips_[samples[k]];
            const float price = prices_[samples[k]];
            costs[k] = flipped[k] && std::isfinite(price) ? -price : price;
        }
    }
    void ClearPlan() override { std::fill(flips_.begin(), flips_.end(), 0); }
    void Toggle(std::uint32_t sample) override { flips_[sample] ^= 1; }
    void PlanNextFlip(std::uint32_t sample) override { next_[sample] = 1; }
    void AdvancePlan(unsigned) override {
        flips_.swap(next_);
        std::fill(next_.begin(), next_.end(), 0);
    }
    std::vector<std::uint32_t> ApplyPlan(FreeChoices&) override {
        applied_ = true;
        std::vector<std::uint32_t> changed;
        for (std::uint32_t i = 0; i < values_.size(); ++i) {
            if (!flips_[i]) continue;
            ++values_[i];
            changed.push_back(i);
        }
        return changed;
    }

    const std::vector<std::uint8_t>& Values() const { return values_; }
    bool Applied() const { return applied_; }

private:
    std::vector<std::uint8_t> values_;
    std::vector<float> prices_;
    std::vector<std::uint8_t> flips_;
    std::vector<std::uint8_t> next_;
    bool applied_ = false;
};

}  // namespace velquist::stealth::testing
