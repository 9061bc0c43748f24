// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScoreDetector.h"

namespace velquist::detect {

// Fridrich-Goljan weighted stego analysis: the payload is twice the weight that brings the
// picture, moved towards its low-bit-flipped self, closest to a prediction of the cover. The
// cover is predicted by the mean of each sample's four neighbours, and each sample is weighted
// by 1 / (5 + the variance of those neighbours), so flat areas, where the prediction is good,
// count most. Interior samples of each colour plane; the score is the mean of the three
// estimates.
class WeightedStego : public ScoreDetector {
public:
    std::string name() const override { return "WS"; }
    double score(const Picture& picture) const override;
    static double EstimatePlane(const Plane& plane);
};

}  // namespace velquist::detect
