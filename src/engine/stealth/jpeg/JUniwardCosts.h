// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/stealth/jpeg/JpegCostModel.h"

namespace velquist::stealth {

// The costs of the component's decompressed picture: a change of one in a mode adds its basis
// pattern, times the step, to an 8 x 8 block; the cost is how much that moves the picture's
// three directional wavelet residuals (horizontal, vertical, diagonal), each relative to the
// residual already there. Texture in every direction hides a change; a smooth area or a clean
// edge, where some residual is near zero, does not.
//
// A mode's impact on a residual is the product of a vertical and a horizontal 23-tap profile,
// so each block's 64 costs come from one pass along the rows of the reciprocal residuals and
// one down the columns, not from a 23 x 23 sum per mode. The decompression is the exact
// orthonormal transform in floating point, without rounding or clamping: a model of the
// picture, not its decoder. Each component, chroma too, is priced from its own residuals, so
// that all costs are on one scale and the trellis can weigh a chroma change against a
// luminance one.
class JUniwardCosts final : public JpegCostModel {
public:
    // Keeps the reciprocal finite where a residual is 0.
    static constexpr float kStabiliser = 1.0f / 64;

    using JpegCostModel::JpegCostModel;

protected:
    void FillComponent(const JpegComponent& component, std::span<float> costs,
                       unsigned threads) const override;
};

}  // namespace velquist::stealth
