// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScoreDetector.h"

namespace velquist::detect {

// Fridrich-Goljan-Du RS analysis: groups of four horizontally adjacent samples of a plane,
// the mask 0 1 1 0 and the sum of absolute neighbour differences. Flipping the mask's low bits
// (F1) or shifting them by one (F-1) makes groups more or less regular; LSB replacement pulls
// the two apart, and the counts for the picture and for the picture with every low bit
// flipped give a quadratic whose root is the payload. Estimated per colour plane; the score is
// the mean of the three estimates (payload in bits per sample).
class RsAnalysis : public ScoreDetector {
public:
    std::string name() const override { return "RS"; }
    double score(const Picture& picture) const override;
    static double EstimatePlane(const Plane& plane);
};

}  // namespace velquist::detect
