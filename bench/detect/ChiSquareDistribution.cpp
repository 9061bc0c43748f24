// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChiSquareDistribution.h"

#include <cmath>

namespace velquist::detect {

namespace {

// The regularised lower incomplete gamma function P(a, x) by its series (for x < a + 1).
double LowerSeries(double a, double x) {
    double term = 1.0 / a, sum = term;
    for (int n = 1; n < 1000 && std::abs(term) > std::abs(sum) * 1e-15; ++n) {
        term *= x / (a + n);
        sum += term;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// The regularised upper incomplete gamma function Q(a, x) by its continued fraction
// (modified Lentz), for x >= a + 1.
double UpperFraction(double a, double x) {
    constexpr double kTiny = 1e-300;
    double b = x + 1.0 - a, c = 1.0 / kTiny, d = 1.0 / b, h = d;
    for (int i = 1; i < 1000; ++i) {
        double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::abs(d) < kTiny) d = kTiny;
        c = b + an / c;
        if (std::abs(c) < kTiny) c = kTiny;
        d = 1.0 / d;
        double step = d * c;
        h *= step;
        if (std::abs(step - 1.0) < 1e-15) break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

}  // namespace

double ChiSquareUpperTail(double x, int freedom) {
    if (x <= 0.0) return 1.0;
    const double a = 0.5 * freedom, half = 0.5 * x;
    return half < a + 1.0 ? 1.0 - LowerSeries(a, half) : UpperFraction(a, half);
}

}  // namespace velquist::detect
