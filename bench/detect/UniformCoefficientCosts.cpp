// SPDX-License-Identifier: GPL-3.0-or-later
#include "UniformCoefficientCosts.h"

#include <limits>

namespace velquist::detect {

std::vector<std::vector<double>> UniformCoefficientCosts::costs(const JpegCoefficients& cover) const {
    std::vector<std::vector<double>> costs;
    for (const JpegComponent& component : cover.components) {
        std::vector<double>& mine = costs.emplace_back(component.values.size(), std::numeric_limits<double>::infinity());
        for (std::size_t i = 0; i < component.values.size(); ++i)
            if (i % 64 != 0 && component.values[i] != 0) mine[i] = 1.0;
    }
    return costs;
}

}  // namespace velquist::detect
