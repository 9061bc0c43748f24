// SPDX-License-Identifier: GPL-3.0-or-later
#include "PayloadLimitedSender.h"

#include <cmath>

namespace velquist::detect {

namespace {

// The probabilities' summed binary entropy in bits, from lambda alone: with x = lambda c and
// p = 1 / (1 + e^x), h(p) = ln(1 + e^-x) + x p nats, one exponential per sample.
double TotalEntropyBits(const std::vector<double>& costs, double lambda) {
    double nats = 0.0;
    for (double c : costs) {
        const double x = lambda * c;
        const double e = std::exp(-x);
        nats += std::log1p(e) + x * e / (1.0 + e);
    }
    return nats / std::log(2.0);
}

}  // namespace

std::vector<double> ChangeProbabilities(const std::vector<double>& costs, double payloadBits) {
    // The entropy falls as lambda grows; bisect on its logarithm until the payload is met to
    // within one part in 10^5.
    double low = -30.0, high = 30.0, mid = 0.0;
    for (int i = 0; i < 80; ++i) {
        mid = 0.5 * (low + high);
        const double bits = TotalEntropyBits(costs, std::exp(mid));
        if (std::abs(bits - payloadBits) <= 1e-5 * payloadBits) break;
        (bits > payloadBits ? low : high) = mid;
    }
    std::vector<double> p(costs.size());
    for (std::size_t i = 0; i < costs.size(); ++i) p[i] = 1.0 / (1.0 + std::exp(std::exp(mid) * costs[i]));
    return p;
}

}  // namespace velquist::detect
