// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CoefficientCosts.h"

namespace velquist::detect {

// Every non-zero AC coefficient costs the same, DC and zeros never change: the non-adaptive
// baseline whose detectability is well known.
class UniformCoefficientCosts : public CoefficientCosts {
public:
    std::string name() const override { return "nzAC"; }
    std::vector<std::vector<double>> costs(const JpegCoefficients& cover) const override;
};

}  // namespace velquist::detect
