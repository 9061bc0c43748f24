// SPDX-License-Identifier: GPL-3.0-or-later
#include "DctrFeatures.h"

#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace velquist::detect {

namespace {

// The 1-D orthonormal DCT basis: the 2-D kernel (k, l) is basis[k][m] * basis[l][n], so every
// kernel is a column pass and a row pass of 8 taps.
std::array<std::array<double, 8>, 8> Basis() {
    std::array<std::array<double, 8>, 8> basis{};
    for (int k = 0; k < 8; ++k)
        for (int m = 0; m < 8; ++m)
            basis[k][m] = (k == 0 ? std::sqrt(0.125) : 0.5) * std::cos(std::numbers::pi * k * (2 * m + 1) / 16.0);
    return basis;
}

// Window offsets a and 8 - a are mirror images of each other about the grid.
constexpr std::array<int, 8> kMergedOffset{0, 1, 2, 3, 4, 3, 2, 1};

}  // namespace

std::vector<double> DctrFeatures(const Plane& luminance, double step) {
    const int rows = luminance.height - 7, cols = luminance.width - 7;
    if (rows < 8 || cols < 8) throw std::runtime_error("DCTR needs a picture of at least 15 x 15");
    static const auto basis = Basis();
    const int width = luminance.width;
    std::vector<double> features(kDctrFeatures, 0.0);
    std::vector<double> columnPass(static_cast<std::size_t>(rows) * width);
    std::array<double, kDctrClasses> counts{};
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) counts[kMergedOffset[r % 8] * 5 + kMergedOffset[c % 8]] += 1.0;
    for (int k = 0; k < 8; ++k) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < width; ++c) {
                double sum = 0.0;
                for (int m = 0; m < 8; ++m) sum += basis[k][m] * luminance.at(r + m, c);
                columnPass[static_cast<std::size_t>(r) * width + c] = sum;
            }
        for (int l = 0; l < 8; ++l) {
            double* histogram = features.data() + (k * 8 + l) * kDctrClasses * (kDctrThreshold + 1);
            for (int r = 0; r < rows; ++r) {
                const double* line = columnPass.data() + static_cast<std::size_t>(r) * width;
                const int rowClass = kMergedOffset[r % 8] * 5;
                for (int c = 0; c < cols; ++c) {
                    double sum = 0.0;
                    for (int n = 0; n < 8; ++n) sum += basis[l][n] * line[c + n];
                    const double bin = std::min<double>(kDctrThreshold, std::round(std::abs(sum) / step));
                    histogram[(rowClass + kMergedOffset[c % 8]) * (kDctrThreshold + 1) + static_cast<int>(bin)] += 1.0;
                }
            }
        }
    }
    for (int kernel = 0; kernel < 64; ++kernel)
        for (int cls = 0; cls < kDctrClasses; ++cls)
            for (int bin = 0; bin <= kDctrThreshold; ++bin)
                features[(kernel * kDctrClasses + cls) * (kDctrThreshold + 1) + bin] /= counts[cls];
    return features;
}

double DctrStep(int quality) {
    if (quality < 50 || quality > 99) throw std::runtime_error("DCTR has a step for qualities 50 to 99 only");
    return 8.0 * (2.0 - quality / 50.0);
}

}  // namespace velquist::detect
