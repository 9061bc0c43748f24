// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/CostModel.h"

namespace velquist::stealth {

// The HILL cost of each sample, computed on its own colour plane: the plane's high-pass
// residual (the 3 x 3 second-difference kernel), averaged over 3 x 3, inverted, then averaged
// over 15 x 15. Texture gets low costs, smooth and flat areas high ones. Edges are mirrored;
// a transparent pixel takes the value of the nearest carrying pixel on its left in its row.
// (Adding HILL of the colour-difference planes R - G and B - G was tried: against a detector of
// those planes it changed nothing measurable, at two thirds more time.)
class HillCost {
public:
    static void Fill(const PictureView& picture, std::span<float> costs, unsigned threads);
};

}  // namespace velquist::stealth
