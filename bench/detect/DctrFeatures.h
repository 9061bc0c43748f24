// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "Picture.h"

namespace velquist::detect {

// DCTR (Holub and Fridrich 2015): the decompressed luminance filtered with the 64 kernels of the
// 8 x 8 DCT basis at every position (the undecimated DCT). Each filtered image is split by the
// position of its window relative to the JPEG's 8 x 8 grid; positions a and 8 - a (rows and
// columns alike) are merged, which leaves 5 x 5 = 25 classes; the magnitudes, divided by the
// step and rounded, are counted up to T = 4: 64 kernels x 25 classes x 5 bins = 8,000
// first-order features, each class's histogram normalised to 1. The plane's first row and column
// must lie on the grid.
inline constexpr int kDctrThreshold = 4;
inline constexpr int kDctrClasses = 25;
inline constexpr int kDctrFeatures = 64 * kDctrClasses * (kDctrThreshold + 1);

std::vector<double> DctrFeatures(const Plane& luminance, double step);

// The step for a file of libjpeg quality 50 to 99: 8 (2 - quality / 50), finer as the JPEG's own
// steps shrink (4 at quality 75, 0.8 at 95).
double DctrStep(int quality);

}  // namespace velquist::detect
