// SPDX-License-Identifier: GPL-3.0-or-later
#include "UniformCoefficientCosts.h"

#include <cstdio>
#include <limits>

namespace velquist::detect {

std::string UniformCoefficientCosts::name() const {
    if (!chromaWeight_) return "nzAC Y";
    if (*chromaWeight_ == 1.0) return "nzAC";
    char text[32];
    std::snprintf(text, sizeof text, "nzAC c%g", *chromaWeight_);
    return text;
}

std::vector<std::vector<double>> UniformCoefficientCosts::costs(const JpegCoefficients& cover) const {
    constexpr double kNever = std::numeric_limits<double>::infinity();
    std::vector<std::vector<double>> costs;
    for (std::size_t c = 0; c < cover.components.size(); ++c) {
        const double cost = c == 0 ? 1.0 : chromaWeight_.value_or(kNever);
        const std::vector<std::int16_t>& values = cover.components[c].values;
        std::vector<double>& mine = costs.emplace_back(values.size(), kNever);
        for (std::size_t i = 0; i < values.size(); ++i)
            if (i % 64 != 0 && values[i] != 0) mine[i] = cost;
    }
    return costs;
}

}  // namespace velquist::detect
