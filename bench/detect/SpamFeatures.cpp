// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpamFeatures.h"

#include <algorithm>

namespace velquist::detect {

namespace {

constexpr int kCube = kSpamValues * kSpamValues * kSpamValues;

int Clip(int d) { return std::clamp(d, -kSpamTruncation, kSpamTruncation) + kSpamTruncation; }

// Transition probabilities along one direction (dr, dc), added to `out` with weight 1/4.
void AddDirection(const Plane& plane, int dr, int dc, double* out) {
    std::vector<double> triples(kCube, 0.0), pairs(kSpamValues * kSpamValues, 0.0);
    auto difference = [&](int r, int c) { return Clip(plane.at(r, c) - plane.at(r + dr, c + dc)); };
    for (int r = 0; r < plane.height; ++r) {
        const int lastRow = r + 3 * dr;
        if (lastRow < 0 || lastRow >= plane.height) continue;
        for (int c = 0; c < plane.width; ++c) {
            const int lastCol = c + 3 * dc;
            if (lastCol < 0 || lastCol >= plane.width) continue;
            const int w = difference(r, c);
            const int v = difference(r + dr, c + dc);
            const int u = difference(r + 2 * dr, c + 2 * dc);
            triples[(w * kSpamValues + v) * kSpamValues + u] += 1.0;
            pairs[w * kSpamValues + v] += 1.0;
        }
    }
    for (int wv = 0; wv < kSpamValues * kSpamValues; ++wv) {
        if (pairs[wv] == 0.0) continue;  // a condition never seen leaves its row at zero
        for (int u = 0; u < kSpamValues; ++u) out[wv * kSpamValues + u] += 0.25 * triples[wv * kSpamValues + u] / pairs[wv];
    }
}

}  // namespace

std::vector<double> SpamFeatures(const Plane& plane) {
    std::vector<double> features(kSpamFeatures, 0.0);
    static constexpr int kStraight[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
    static constexpr int kDiagonal[4][2] = {{1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
    for (const auto& d : kStraight) AddDirection(plane, d[0], d[1], features.data());
    for (const auto& d : kDiagonal) AddDirection(plane, d[0], d[1], features.data() + kCube);
    return features;
}

}  // namespace velquist::detect
