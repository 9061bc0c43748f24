// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureMeasures.h"

#include "SpamFeatures.h"

namespace velquist::detect {

namespace {

std::vector<double> MeanSpam(const std::vector<Plane>& planes) {
    std::vector<double> mean(kSpamFeatures, 0.0);
    for (const Plane& plane : planes) {
        std::vector<double> f = SpamFeatures(plane);
        for (int i = 0; i < kSpamFeatures; ++i) mean[i] += f[i] / static_cast<double>(planes.size());
    }
    return mean;
}

}  // namespace

PictureMeasures MeasureSet::measure(const Picture& picture) const {
    PictureMeasures m;
    for (const auto& detector : detectors_) m.scores.push_back(detector->score(picture));
    if (spam_.mean || spam_.concatenated) {
        const std::vector<Plane> planes{picture.plane(Picture::Red), picture.plane(Picture::Green),
                                        picture.plane(Picture::Blue)};
        if (spam_.mean) m.spam = MeanSpam(planes);
        if (spam_.concatenated)
            for (const Plane& plane : planes) {
                const std::vector<double> f = SpamFeatures(plane);
                m.spamCat.insert(m.spamCat.end(), f.begin(), f.end());
            }
    }
    if (spam_.differences)
        m.spamCd = MeanSpam({picture.difference(Picture::Red, Picture::Green),
                             picture.difference(Picture::Blue, Picture::Green)});
    return m;
}

}  // namespace velquist::detect
