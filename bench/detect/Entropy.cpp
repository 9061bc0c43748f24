// SPDX-License-Identifier: GPL-3.0-or-later
#include "Entropy.h"

#include <cmath>

namespace velquist::detect {

double BinaryEntropy(double p) {
    if (p <= 0.0 || p >= 1.0) return 0.0;
    return -p * std::log2(p) - (1.0 - p) * std::log2(1.0 - p);
}

double InverseBinaryEntropy(double bits) {
    double low = 0.0, high = 0.5;
    for (int i = 0; i < 60; ++i) {
        double mid = 0.5 * (low + high);
        (BinaryEntropy(mid) < bits ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

}  // namespace velquist::detect
