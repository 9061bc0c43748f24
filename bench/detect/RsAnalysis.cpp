// SPDX-License-Identifier: GPL-3.0-or-later
#include "RsAnalysis.h"

#include <cstdlib>

#include "SmallerRoot.h"

namespace velquist::detect {

namespace {

constexpr int kGroup = 4;
constexpr int kMask[kGroup] = {0, 1, 1, 0};

int FlipPositive(int x) { return x ^ 1; }
int FlipNegative(int x) { return ((x + 1) ^ 1) - 1; }

int Smoothness(const int (&g)[kGroup]) {
    int sum = 0;
    for (int i = 0; i + 1 < kGroup; ++i) sum += std::abs(g[i + 1] - g[i]);
    return sum;
}

// Regular minus singular groups, as fractions of all groups, under the mask M (negative:
// false) or -M (negative: true), with every low bit flipped first when `flipped`.
struct Counts {
    double positive = 0.0;  // R_M - S_M
    double negative = 0.0;  // R_-M - S_-M
};

Counts Count(const Plane& plane, bool flipped) {
    long long regular[2] = {}, singular[2] = {}, groups = 0;
    for (int r = 0; r < plane.height; ++r)
        for (int c = 0; c + kGroup <= plane.width; c += kGroup) {
            int g[kGroup];
            for (int i = 0; i < kGroup; ++i) g[i] = flipped ? plane.at(r, c + i) ^ 1 : plane.at(r, c + i);
            const int before = Smoothness(g);
            for (int sign = 0; sign < 2; ++sign) {
                int h[kGroup];
                for (int i = 0; i < kGroup; ++i)
                    h[i] = kMask[i] == 0 ? g[i] : sign == 0 ? FlipPositive(g[i]) : FlipNegative(g[i]);
                const int after = Smoothness(h);
                if (after > before) ++regular[sign];
                if (after < before) ++singular[sign];
            }
            ++groups;
        }
    const double n = static_cast<double>(groups);
    return {(regular[0] - singular[0]) / n, (regular[1] - singular[1]) / n};
}

}  // namespace

double RsAnalysis::EstimatePlane(const Plane& plane) {
    const Counts stego = Count(plane, false), flipped = Count(plane, true);
    const double d0 = stego.positive, d1 = flipped.positive;
    const double dm0 = stego.negative, dm1 = flipped.negative;
    const double x = SmallerRoot(2.0 * (d1 + d0), dm0 - dm1 - d1 - 3.0 * d0, d0 - dm0);
    return x / (x - 0.5);
}

double RsAnalysis::score(const Picture& picture) const {
    double sum = 0.0;
    for (int channel = 0; channel < 3; ++channel) sum += EstimatePlane(picture.plane(channel));
    return sum / 3.0;
}

}  // namespace velquist::detect
