// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/stealth/Cover.h"
#include "engine/stealth/pixels/SampleCosts.h"
#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist::stealth {

// A picture's 8-bit colour samples as a cover, in cover order (SampleGeometry says where each
// lies). A flip costs the sample's HILL cost in its own plane (HillCost), sharpened, whatever
// else flips; each change goes +1 or -1 at random, except that 0 only goes up and 255 only
// down. Measured against detectors of the planes, of the planes side by side and of the colour
// differences, this came closest to the best any code could do with HILL costs: costs on the
// colour differences traded detectability on the planes for a little on the differences, with
// far more changes, and changing a pixel's samples the same way, or as their neighbours did,
// changed nothing measurable.
class PixelCover final : public Cover {
public:
    // The code sees each cost raised to this power. Its trellis spends about a quarter more
    // changes than the bound for the same costs; sharper costs keep more of them in texture,
    // which the colour differences' detector sees less, at the price of a few more changes. A
    // price on each change instead made fewer changes and was seen more by every detector.
    static constexpr float kSharpness = 1.7f;

    // The samples and the geometry are borrowed; `sharpness` is for tuning. Throws
    // std::invalid_argument when the samples are not the geometry's.
    PixelCover(std::span<std::uint8_t> samples, const SampleGeometry& geometry,
               float sharpness = kSharpness);
    PixelCover(std::span<std::uint8_t>, SampleGeometry&&, float = kSharpness) = delete;
    PixelCover(const PixelCover&) = delete;
    PixelCover& operator=(const PixelCover&) = delete;

    std::uint64_t Size() const override { return samples_.size(); }
    void LowestBits(std::span<std::uint64_t> packed, unsigned threads) const override;
    void PrepareCosts(unsigned threads) override;
    void ToggleCosts(std::span<const std::uint32_t> samples, unsigned pass,
                     std::span<std::uint8_t> flipped, std::span<float> costs) const override;
    void ClearPlan() override;
    void Toggle(std::uint32_t sample) override;
    // A flip's cost does not depend on the plan, so the body is coded once, from an empty plan:
    // the flips it names go straight into the plan.
    void PlanNextFlip(std::uint32_t sample) override;
    void AdvancePlan(unsigned) override {}
    std::vector<std::uint32_t> ApplyPlan(FreeChoices& choices) override;

private:
    bool Planned(std::uint32_t sample) const;

    std::span<std::uint8_t> samples_;
    const SampleGeometry& geometry_;
    std::optional<SampleCosts> costs_;
    float sharpness_;
    std::array<float, SampleCosts::kCodes> toggleCost_{};  // by cost code
    std::vector<std::uint64_t> planned_;  // bit s % 64 of word s / 64: sample s flips
};

}  // namespace velquist::stealth
