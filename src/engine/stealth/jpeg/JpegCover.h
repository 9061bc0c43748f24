// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/stealth/Cover.h"
#include "engine/stealth/FreeChoices.h"
#include "engine/stealth/LargeArray.h"
#include "engine/stealth/jpeg/JpegCostModel.h"
#include "engine/stealth/jpeg/JpegView.h"

namespace velquist::stealth {

// A JPEG's quantised coefficients as a cover: the samples are every coefficient of every block
// of every component, in that order, whatever their values; a sample's lowest bit is its value
// mod 2. Each coefficient is priced on its own by the cost model, so the plan's cost is the sum
// of its flips' costs and coding it again gains nothing. A change is +1 or -1 as the hide's free
// choices say, or toward zero at the edge of the range a JPEG can code.
class JpegCover final : public Cover {
public:
    // A change never takes a coefficient beyond this in magnitude.
    static constexpr std::int16_t kLimit = 1023;

    // The view's coefficients change in place on ApplyPlan; they and the model must outlive the
    // cover. Throws std::invalid_argument when the view is not one a cover can take
    // (JpegView::Check).
    JpegCover(JpegView view, const JpegCostModel& model);

    std::uint64_t Size() const override { return size_; }
    void LowestBits(std::span<std::uint64_t> packed, unsigned threads) const override;
    void PrepareCosts(unsigned threads) override;
    void ToggleCosts(std::span<const std::uint32_t> samples, unsigned pass,
                     std::span<std::uint8_t> flipped, std::span<float> costs) const override;
    void ClearPlan() override;
    void Toggle(std::uint32_t sample) override;
    void PlanNextFlip(std::uint32_t sample) override;
    void AdvancePlan(unsigned threads) override;
    // Throws std::logic_error, changing nothing, when the plan flips a coefficient that never
    // changes (its cost was infinite, so the coding went wrong) or one that was never priced.
    std::vector<std::uint32_t> ApplyPlan(FreeChoices& choices) override;

private:
    std::int16_t& Coefficient(std::uint32_t sample);
    bool Planned(std::uint32_t sample) const;

    JpegView view_;
    const JpegCostModel& model_;
    std::vector<std::uint64_t> starts_;  // each component's first sample, then Size()
    std::uint64_t size_;
    LargeArray<float> costs_;
    std::vector<std::uint64_t> plan_, next_;  // one bit a sample
};

}  // namespace velquist::stealth
