// SPDX-License-Identifier: GPL-3.0-or-later
#include "SamplePairAnalysis.h"

#include "SmallerRoot.h"

namespace velquist::detect {

namespace {

struct PairCounts {
    long long all = 0, x = 0, y = 0, z = 0, w = 0;

    void add(int u, int v) {
        ++all;
        if (u == v) {
            ++z;
            return;
        }
        const bool vEven = (v & 1) == 0;
        if ((vEven && u < v) || (!vEven && u > v)) {
            ++x;
        } else {
            ++y;
            if ((u >> 1) == (v >> 1)) ++w;
        }
    }
};

}  // namespace

double SamplePairAnalysis::EstimatePlane(const Plane& plane) {
    PairCounts counts;
    for (int r = 0; r < plane.height; ++r)
        for (int c = 0; c < plane.width; ++c) {
            if (c + 1 < plane.width) counts.add(plane.at(r, c), plane.at(r, c + 1));
            if (r + 1 < plane.height) counts.add(plane.at(r, c), plane.at(r + 1, c));
        }
    const double a = 0.5 * static_cast<double>(counts.w + counts.z);
    const double b = 2.0 * static_cast<double>(counts.x) - static_cast<double>(counts.all);
    const double c = static_cast<double>(counts.y - counts.x);
    return SmallerRoot(a, b, c);
}

double SamplePairAnalysis::score(const Picture& picture) const {
    double sum = 0.0;
    for (int channel = 0; channel < 3; ++channel) sum += EstimatePlane(picture.plane(channel));
    return sum / 3.0;
}

}  // namespace velquist::detect
