// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/stealth/pixels/CostModel.h"

namespace velquist::stealth {

// The default costs: HILL on each colour plane for the samples, and HILL on R - G and B - G,
// times a weight, for the differences. On photographs the differences are far smoother than
// the planes, so a lone change costs several times a change of the whole pixel: the embedder
// then moves whole pixels where the colours are smooth and lone samples where they are busy.
class ColourHillCosts final : public CostModel {
public:
    static constexpr float kDefaultWeight = 1.0f;

    explicit ColourHillCosts(float differenceWeight = kDefaultWeight) : weight_(differenceWeight) {}

    void Fill(const PictureView& picture, PixelCosts& costs, unsigned threads) const override;

private:
    float weight_;
};

}  // namespace velquist::stealth
