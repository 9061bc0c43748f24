// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScoreDetector.h"

namespace velquist::detect {

// The Westfeld-Pfitzmann attack on pairs of values: replacing low bits evens out the counts of
// 2k and 2k + 1, which a chi-square test against their mean notices. It runs over all colour
// samples in file order, over the first 1 %, 2 %, ... 100 % of them, as the sequential attack
// does; the score is the mean probability of embedding over those 100 prefixes, which comes
// near the fraction of the picture a sequential hide has filled.
class ChiSquareAttack : public ScoreDetector {
public:
    std::string name() const override { return "chi2"; }
    double score(const Picture& picture) const override;

    // The probability of embedding for one histogram of 256 values.
    static double EmbeddingProbability(const long long (&histogram)[256]);
};

}  // namespace velquist::detect
