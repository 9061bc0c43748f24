// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/stealth/pixels/CostModel.h"
#include "engine/stealth/pixels/PixelCosts.h"

namespace velquist::stealth {

// HILL costs: a plane's high-pass residual (the 3 x 3 second-difference kernel), averaged over
// 3 x 3, inverted, then averaged over 15 x 15. Texture gets low costs, smooth and flat areas
// high ones. Computed on each colour plane for the samples' own costs, and on the differences
// R - G and B - G, times `differenceWeight`, for the cost of moving them. Edges are mirrored; a
// transparent pixel takes the value of the nearest carrying pixel on its left in its row.
class HillCost {
public:
    static void Fill(const PictureView& picture, PixelCosts& costs, float differenceWeight,
                     unsigned threads);
};

}  // namespace velquist::stealth
