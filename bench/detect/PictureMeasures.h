// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include "Picture.h"
#include "ScoreDetector.h"

namespace velquist::detect {

// What the detectors take from one picture: a score from each detector that needs no
// training, and the SPAM features of the colour planes and of the colour differences.
struct PictureMeasures {
    std::vector<double> scores;
    std::vector<double> spam;     // mean over the R, G and B planes
    std::vector<double> spamCat;  // R, G and B planes side by side
    std::vector<double> spamCd;   // mean over the R - G and B - G planes
};

// Which SPAM feature sets to compute.
struct SpamSets {
    bool mean = false;
    bool concatenated = false;
    bool differences = false;
};

class MeasureSet {
public:
    MeasureSet(std::vector<std::unique_ptr<ScoreDetector>> detectors, SpamSets spam)
        : detectors_(std::move(detectors)), spam_(spam) {}

    PictureMeasures measure(const Picture& picture) const;
    const std::vector<std::unique_ptr<ScoreDetector>>& detectors() const { return detectors_; }
    const SpamSets& spam() const { return spam_; }

private:
    std::vector<std::unique_ptr<ScoreDetector>> detectors_;
    SpamSets spam_;
};

}  // namespace velquist::detect
