// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/CostModel.h"

namespace velquist::stealth {

// The cost of changing one sample alone: HILL on its own colour plane (the plane's high-pass
// residual with the 3 x 3 second-difference kernel, averaged over 3 x 3, inverted, averaged over
// 15 x 15), plus HILL on the colour-difference planes R - G and B - G it takes part in, which a
// lone change moves too. Texture gets low costs, smooth and flat areas high ones. Edges are
// mirrored; a transparent pixel takes the value of the nearest carrying pixel on its left in
// its row.
class HillCost {
public:
    static void Fill(const PictureView& picture, std::span<float> costs, unsigned threads);
};

}  // namespace velquist::stealth
