// SPDX-License-Identifier: GPL-3.0-or-later
#include "WeightedStego.h"

namespace velquist::detect {

double WeightedStego::EstimatePlane(const Plane& plane) {
    double weighted = 0.0, weights = 0.0;
    for (int r = 1; r + 1 < plane.height; ++r)
        for (int c = 1; c + 1 < plane.width; ++c) {
            const double n[4] = {static_cast<double>(plane.at(r - 1, c)), static_cast<double>(plane.at(r + 1, c)),
                                 static_cast<double>(plane.at(r, c - 1)), static_cast<double>(plane.at(r, c + 1))};
            const double mean = 0.25 * (n[0] + n[1] + n[2] + n[3]);
            const double variance =
                0.25 * (n[0] * n[0] + n[1] * n[1] + n[2] * n[2] + n[3] * n[3]) - mean * mean;
            const double weight = 1.0 / (5.0 + variance);
            const int s = plane.at(r, c);
            const double towardsFlipped = (s & 1) ? 1.0 : -1.0;  // s - (s with its low bit flipped)
            weighted += weight * towardsFlipped * (s - mean);
            weights += weight;
        }
    return 2.0 * weighted / weights;
}

double WeightedStego::score(const Picture& picture) const {
    double sum = 0.0;
    for (int channel = 0; channel < 3; ++channel) sum += EstimatePlane(picture.plane(channel));
    return sum / 3.0;
}

}  // namespace velquist::detect
