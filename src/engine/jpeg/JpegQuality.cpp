// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/jpeg/JpegQuality.h"

#include <algorithm>
#include <cstdlib>

namespace velquist::jpeg {

namespace {

// The luminance table the JPEG standard gives as an example, in natural order.
constexpr std::array<int, 64> kLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};

int ScaledStep(int step, int quality) {
    int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    return std::clamp((step * scale + 50) / 100, 1, 255);
}

}  // namespace

int EstimateQuality(const std::array<std::uint16_t, 64>& steps) {
    int best = 1;
    long bestDistance = -1;
    for (int quality = 1; quality <= 100; ++quality) {
        long distance = 0;
        for (std::size_t k = 0; k < 64; ++k) distance += std::labs(long{steps[k]} - ScaledStep(kLuminance[k], quality));
        if (bestDistance < 0 || distance <= bestDistance) {
            best = quality;
            bestDistance = distance;
        }
    }
    return best;
}

bool StepsMostlyOne(const std::array<std::uint16_t, 64>& steps) {
    return 3 * std::count(steps.begin(), steps.end(), std::uint16_t{1}) >= 64;
}

}  // namespace velquist::jpeg
