// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <span>

namespace velquist::stealth::testing {

// The least any code can do to embed `bits` bits into samples that flip at these costs
// (+infinity: held): flip sample i with probability p_i = 1 / (1 + e^(lambda cost_i)), lambda
// chosen so that the flips carry exactly `bits` bits of entropy. Expected changes and distortion.
struct CodingBound {
    double changes = 0, distortion = 0;

    static CodingBound For(std::span<const float> costs, double bits) {
        auto at = [&](double lambda) {
            double entropy = 0;
            CodingBound bound;
            for (float cost : costs) {
                if (std::isinf(cost)) continue;
                const double p = 1.0 / (1.0 + std::exp(lambda * cost));
                if (p <= 0 || p >= 1) continue;
                entropy += -p * std::log2(p) - (1 - p) * std::log2(1 - p);
                bound.changes += p;
                bound.distortion += p * cost;
            }
            return std::pair{entropy, bound};
        };
        // The entropy falls as lambda grows: halve the interval in log space.
        double low = 1e-9, high = 1e9;
        for (int step = 0; step < 200; ++step) {
            const double middle = std::sqrt(low * high);
            (at(middle).first > bits ? low : high) = middle;
        }
        return at(high).second;
    }
};

}  // namespace velquist::stealth::testing
