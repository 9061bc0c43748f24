// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "engine/stealth/jpeg/JpegView.h"

namespace velquist::stealth {

struct JpegCostOptions {
    // Scales the costs of the chroma components against luminance: above 1 moves changes into
    // luminance, +infinity holds chroma whole. Which is hardest to detect is for the detectors to
    // tell.
    float chroma = 1.0f;
};

// What changing a JPEG's quantised coefficients by one costs in detectability, one cost a
// coefficient in cover order; a change either way costs the same. Each component is priced on
// its own; then chroma is weighted, and every coefficient of a block without AC energy is held:
// a change there would stand out in a block that is otherwise one flat colour.
class JpegCostModel {
public:
    // Throws std::invalid_argument for a chroma weight that is not positive.
    explicit JpegCostModel(JpegCostOptions options = {});
    virtual ~JpegCostModel() = default;

    // `costs` has view.SampleCount() entries and gets a positive cost for each coefficient, or
    // +infinity where it may not change. May use up to `threads` threads (0: one per core).
    void Fill(const JpegView& view, std::span<float> costs, unsigned threads) const;

protected:
    // Positive, finite costs for the component's coefficients, blocks without AC energy included.
    virtual void FillComponent(const JpegComponent& component, std::span<float> costs,
                               unsigned threads) const = 0;

private:
    JpegCostOptions options_;
};

}  // namespace velquist::stealth
