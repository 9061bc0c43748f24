// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "JpegCoefficients.h"

namespace velquist::detect {

// What a +-1 change of each quantised coefficient costs in detectability. A cost model of the
// engine plugs in through one adapter implementing this.
class CoefficientCosts {
public:
    virtual ~CoefficientCosts() = default;
    virtual std::string name() const = 0;
    // One cost per coefficient, laid out as `cover`'s components (result[c][i] for
    // cover.components[c].values[i]): positive and finite, or +infinity where the coefficient
    // must not change.
    virtual std::vector<std::vector<double>> costs(const JpegCoefficients& cover) const = 0;
};

}  // namespace velquist::detect
