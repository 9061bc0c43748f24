// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/pixels/SampleCosts.h"
#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist::stealth {

// The picture as the costs see it: its samples in cover order and where each lies.
struct PictureView {
    std::span<const std::uint8_t> samples;
    const SampleGeometry& geometry;
};

// HILL costs, each colour plane on its own: the plane's high-pass residual (the 3 x 3
// second-difference kernel), averaged over 3 x 3, inverted, then averaged over 15 x 15. Texture
// gets low costs, smooth and flat areas high ones. Edges are mirrored; a transparent pixel takes
// the value of the nearest carrying pixel on its left in its row.
class HillCost {
public:
    static void Fill(const PictureView& picture, SampleCosts& costs, unsigned threads);
};

}  // namespace velquist::stealth
