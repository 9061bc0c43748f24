// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist::stealth {

class PixelCosts;

// The picture as the cost model sees it: its samples in cover order and where each lies.
struct PictureView {
    std::span<const std::uint8_t> samples;
    const SampleGeometry& geometry;
};

// What changing the samples costs in detectability, pixel by pixel (see PixelCosts): each
// sample's cost in its own plane and, for red and blue, the cost of moving its difference with
// green. A model may be swapped to tune the hide against detectors; every change stays legal
// (0 only goes up, 255 only down) whatever a model answers.
class CostModel {
public:
    virtual ~CostModel() = default;

    // Positive, finite costs for every sample and difference. May use up to `threads` threads.
    virtual void Fill(const PictureView& picture, PixelCosts& costs, unsigned threads) const = 0;
};

}  // namespace velquist::stealth
