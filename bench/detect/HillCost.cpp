// SPDX-License-Identifier: GPL-3.0-or-later
#include "HillCost.h"

#include <cmath>
#include <cstdlib>

namespace velquist::detect {

namespace {

// Symmetric padding: -1 reads 0, n reads n - 1.
int Mirror(int i, int n) {
    while (i < 0 || i >= n) i = i < 0 ? -i - 1 : 2 * n - i - 1;
    return i;
}

std::vector<double> BoxMean(const std::vector<double>& in, int width, int height, int side) {
    const int half = side / 2;
    std::vector<double> across(in.size()), out(in.size());
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            double sum = 0.0;
            for (int k = -half; k <= half; ++k) sum += in[r * width + Mirror(c + k, width)];
            across[r * width + c] = sum / side;
        }
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            double sum = 0.0;
            for (int k = -half; k <= half; ++k) sum += across[Mirror(r + k, height) * width + c];
            out[r * width + c] = sum / side;
        }
    return out;
}

}  // namespace

std::vector<double> HillCost(const Plane& plane) {
    static constexpr int kKb[3][3] = {{-1, 2, -1}, {2, -4, 2}, {-1, 2, -1}};
    const int w = plane.width, h = plane.height;
    std::vector<double> residual(static_cast<std::size_t>(w) * h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            int sum = 0;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc)
                    sum += kKb[dr + 1][dc + 1] * plane.at(Mirror(r + dr, h), Mirror(c + dc, w));
            residual[r * w + c] = std::abs(sum);
        }
    std::vector<double> spread = BoxMean(residual, w, h, 3);
    // A flat patch has no residual at all: a very large, finite cost keeps it untouched.
    for (double& v : spread) v = 1.0 / (v + 1e-10);
    return BoxMean(spread, w, h, 15);
}

}  // namespace velquist::detect
