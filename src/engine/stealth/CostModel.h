// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/SampleGeometry.h"

namespace velquist::stealth {

class RandomBits;

// The picture as the cost model sees it: its samples in cover order and where each lies.
struct PictureView {
    std::span<const std::uint8_t> samples;
    const SampleGeometry& geometry;
};

// What a change of one sample by one costs in detectability. The embedder asks for the costs
// when nothing changes, then, round after round, for the cheaper direction of each sample's
// change given the changes planned around it, and re-embeds with those; the directions are
// votes that ChangeDirections settles per pixel. A model may be swapped to tune the hide
// against detectors; every change stays legal (0 only goes up, 255 only down) whatever a model
// answers.
class CostModel {
public:
    virtual ~CostModel() = default;

    // Positive, finite costs, one per sample, in cover order. May use up to `threads` threads.
    virtual void FillBaseCosts(const PictureView& picture, std::span<float> costs,
                               unsigned threads) const = 0;

    // One Steering byte per sample, given `planned` (-1, 0 or +1 per sample). `ties` holds one
    // unpredictable bit per pixel (index y * width + x) for a direction that nothing favours.
    virtual void FillSteering(const PictureView& picture, std::span<const std::int8_t> planned,
                              const RandomBits& ties, std::span<std::uint8_t> steering,
                              unsigned threads) const = 0;
};

}  // namespace velquist::stealth
