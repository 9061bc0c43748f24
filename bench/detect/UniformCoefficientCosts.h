// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "CoefficientCosts.h"

namespace velquist::detect {

// Every non-zero AC coefficient costs the same, DC and zeros never change: the non-adaptive
// baseline whose detectability is well known. Chroma coefficients cost `chromaWeight` times as
// much, or never change without one.
class UniformCoefficientCosts : public CoefficientCosts {
public:
    explicit UniformCoefficientCosts(std::optional<double> chromaWeight) : chromaWeight_(chromaWeight) {}
    std::string name() const override;
    std::vector<std::vector<double>> costs(const JpegCoefficients& cover) const override;

private:
    std::optional<double> chromaWeight_;
};

}  // namespace velquist::detect
