// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScoreDetector.h"

namespace velquist::detect {

// Dumitrescu-Wu-Wang sample pair analysis over horizontally and vertically adjacent samples
// of a plane. In a cover the pairs whose larger member is even (X) are about as many as those
// whose larger member is odd (Y); LSB replacement moves pairs from Y to X at a rate the
// closed-form estimator 0.5 (|W| + |Z|) p^2 + (2|X| - |P|) p + |Y| - |X| = 0 recovers (Z: equal
// pairs, W: pairs that differ in the low bit only). Estimated per colour plane; the score is
// the mean of the three estimates.
class SamplePairAnalysis : public ScoreDetector {
public:
    std::string name() const override { return "SPA"; }
    double score(const Picture& picture) const override;
    static double EstimatePlane(const Plane& plane);
};

}  // namespace velquist::detect
