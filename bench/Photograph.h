// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist::bench {

// The samples of a width x height picture laid out as `geometry` says: smooth light and colour
// over the frame, a few textured areas (foliage-like high-frequency patterns of varying
// strength), sensor noise, and a clipped sky: what a photograph offers an adaptive embedder,
// which pure noise would not. The same every run.
std::vector<std::uint8_t> Photograph(const stealth::SampleGeometry& geometry, std::uint32_t width,
                                     std::uint32_t height);

}  // namespace velquist::bench
