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
    std::vector<double> spam;    // mean over the R, G and B planes
    std::vector<double> spamCd;  // mean over the R - G and B - G planes
};

class MeasureSet {
public:
    MeasureSet(std::vector<std::unique_ptr<ScoreDetector>> detectors, bool spam, bool spamCd)
        : detectors_(std::move(detectors)), spam_(spam), spamCd_(spamCd) {}

    PictureMeasures measure(const Picture& picture) const;
    const std::vector<std::unique_ptr<ScoreDetector>>& detectors() const { return detectors_; }
    bool spam() const { return spam_; }
    bool spamCd() const { return spamCd_; }

private:
    std::vector<std::unique_ptr<ScoreDetector>> detectors_;
    bool spam_;
    bool spamCd_;
};

}  // namespace velquist::detect
