// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <random>

#include "CoefficientCosts.h"
#include "JpegEmbedder.h"

namespace velquist::detect {

// +-1 embedding in quantised coefficients at the coding bound: flip probabilities
// e^(-l c) / (1 + e^(-l c)) under the given costs, l set so their entropy is the payload, each
// change +1 or -1 at random except at the range limit, where it goes inward. Chroma costs are
// multiplied by `chromaWeight`; without one, chroma never changes.
class CoefficientSimulator : public JpegEmbedder {
public:
    CoefficientSimulator(std::unique_ptr<CoefficientCosts> costs, std::optional<double> chromaWeight)
        : costs_(std::move(costs)), chromaWeight_(chromaWeight) {}
    std::string name() const override;
    std::optional<std::vector<std::uint8_t>> embed(const Crop& crop, const JpegCover& cover, double rate,
                                                  std::uint64_t seed, std::string& failure) const override;

    // The coefficients after the simulated hide, before they go back into a file.
    std::optional<JpegCoefficients> changed(const JpegCoefficients& cover, double rate, std::uint64_t seed,
                                            std::string& failure) const;

    // A change of +1 or -1 at random, inward at +-kCoefficientLimit.
    static std::int16_t PlusMinusOne(std::int16_t value, std::mt19937_64& random);

private:
    std::unique_ptr<CoefficientCosts> costs_;
    std::optional<double> chromaWeight_;
};

}  // namespace velquist::detect
