// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/stealth/jpeg/JpegCostModel.h"

namespace velquist::stealth {

// The quick costs, read off the coefficients without decoding: a mode's quantisation step over
// the AC energy of its block and, at a quarter weight, of the eight blocks around it. A change
// of one is a change of one step in the picture, so a coarse step costs more; busy blocks and
// busy surroundings hide it. The DC mode, whose step says little about what a change does,
// takes the mean of the two first AC steps.
class UerdCosts final : public JpegCostModel {
public:
    using JpegCostModel::JpegCostModel;

protected:
    void FillComponent(const JpegComponent& component, std::span<float> costs,
                       unsigned threads) const override;
};

}  // namespace velquist::stealth
