// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/stealth/Cover.h"
#include "engine/stealth/pixels/ColourHillCosts.h"
#include "engine/stealth/pixels/PixelCosts.h"
#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist::stealth {

// A picture's 8-bit colour samples as a cover, in cover order (SampleGeometry says where each
// lies). What a flip costs is a pixel's (PixelCosts), so the plan lives in the costs, beside
// them. The refinement passes free the red and blue samples (offsets 0 and 2), then green: within
// such a pass a toggle's cost does not depend on any other toggle, so the trellis finds the
// cheapest set of toggles that keeps every payload bit, and the plan's cost never rises: lone
// changes in smooth colour become whole pixels, or move to where the colours are busy. (Each
// toggle of a whole pixel needs others to keep the syndrome, so on photographs the rounds lower
// the cost by a few to a quarter, not to what a code over whole pixels would reach.) Every sample
// may change: one at 0 only goes up, one at 255 only down (ChangeDirections).
class PixelCover final : public Cover {
public:
    // The samples, the geometry and the model are borrowed; nothing for `model` is HILL on the
    // colour planes and their differences (ColourHillCosts). Throws std::invalid_argument when
    // the samples are not the geometry's.
    PixelCover(std::span<std::uint8_t> samples, const SampleGeometry& geometry,
               const CostModel* model = nullptr);
    PixelCover(std::span<std::uint8_t>, SampleGeometry&&, const CostModel* = nullptr) = delete;
    PixelCover(const PixelCover&) = delete;
    PixelCover& operator=(const PixelCover&) = delete;

    std::uint64_t Size() const override { return samples_.size(); }
    void LowestBits(std::span<std::uint64_t> packed, unsigned threads) const override;
    void PrepareCosts(unsigned threads) override;
    unsigned RefinementPasses() const override { return 2; }
    void ToggleCosts(std::span<const std::uint32_t> samples, unsigned pass,
                     std::span<std::uint8_t> flipped, std::span<float> costs) const override;
    void ClearPlan() override { costs_->ClearFlips(); }
    void Toggle(std::uint32_t sample) override { costs_->Toggle(sample); }
    void PlanNextFlip(std::uint32_t sample) override { costs_->PlanNextFlip(sample); }
    void AdvancePlan(unsigned threads) override { costs_->Advance(threads); }
    // Each changed pixel's samples go the way ChangeDirections settles.
    std::vector<std::uint32_t> ApplyPlan(FreeChoices& choices) override;

private:
    std::span<std::uint8_t> samples_;
    const SampleGeometry& geometry_;
    ColourHillCosts defaultModel_;
    const CostModel& model_;
    std::optional<PixelCosts> costs_;
};

}  // namespace velquist::stealth
