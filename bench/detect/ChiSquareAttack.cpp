// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChiSquareAttack.h"

#include "ChiSquareDistribution.h"

namespace velquist::detect {

namespace {

constexpr int kPrefixes = 100;
// Pairs expected fewer times than this in each value are left out, as the test's
// approximation needs.
constexpr double kLeastExpected = 5.0;

}  // namespace

double ChiSquareAttack::EmbeddingProbability(const long long (&histogram)[256]) {
    double chi2 = 0.0;
    int pairs = 0;
    for (int k = 0; k < 128; ++k) {
        double expected = 0.5 * static_cast<double>(histogram[2 * k] + histogram[2 * k + 1]);
        if (expected < kLeastExpected) continue;
        double d = static_cast<double>(histogram[2 * k]) - expected;
        chi2 += d * d / expected;
        ++pairs;
    }
    if (pairs < 2) return 1.0;  // nothing to tell the two apart
    return ChiSquareUpperTail(chi2, pairs - 1);
}

double ChiSquareAttack::score(const Picture& picture) const {
    long long histogram[256] = {};
    const std::size_t n = picture.samples.size();
    double sum = 0.0;
    std::size_t next = 0;
    for (int prefix = 1; prefix <= kPrefixes; ++prefix) {
        const std::size_t end = n * prefix / kPrefixes;
        for (; next < end; ++next) ++histogram[picture.samples[next]];
        sum += EmbeddingProbability(histogram);
    }
    return sum / kPrefixes;
}

}  // namespace velquist::detect
