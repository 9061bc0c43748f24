// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoefficientSimulator.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "JpegCodec.h"
#include "PayloadLimitedSender.h"

namespace velquist::detect {

std::string CoefficientSimulator::name() const {
    if (!chromaWeight_) return "sim " + costs_->name() + " Y";
    if (*chromaWeight_ == 1.0) return "sim " + costs_->name();
    char weight[32];
    std::snprintf(weight, sizeof weight, " c%g", *chromaWeight_);
    return "sim " + costs_->name() + weight;
}

std::int16_t CoefficientSimulator::PlusMinusOne(std::int16_t value, std::mt19937_64& random) {
    if (value >= kCoefficientLimit) return static_cast<std::int16_t>(value - 1);
    if (value <= -kCoefficientLimit) return static_cast<std::int16_t>(value + 1);
    return static_cast<std::int16_t>(random() & 1 ? value + 1 : value - 1);
}

std::optional<JpegCoefficients> CoefficientSimulator::changed(const JpegCoefficients& cover, double rate,
                                                              std::uint64_t seed, std::string& failure) const {
    std::vector<std::vector<double>> costs = costs_->costs(cover);
    for (std::size_t c = 1; c < costs.size(); ++c)
        for (double& cost : costs[c]) cost = chromaWeight_ ? cost * *chromaWeight_ : std::numeric_limits<double>::infinity();
    // Only coefficients that may change take part in the sender; the rest keep p = 0.
    std::vector<double> finite;
    for (const std::vector<double>& component : costs)
        for (double c : component)
            if (std::isfinite(c)) finite.push_back(c);
    const double payload = rate * static_cast<double>(cover.nonZeroAc());
    if (payload >= static_cast<double>(finite.size())) {
        failure = "the payload is more than the changeable coefficients can carry";
        return std::nullopt;
    }
    const std::vector<double> p = ChangeProbabilities(finite, payload);
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    JpegCoefficients carrier = cover;
    std::size_t next = 0;
    for (std::size_t c = 0; c < costs.size(); ++c)
        for (std::size_t i = 0; i < costs[c].size(); ++i) {
            if (!std::isfinite(costs[c][i])) continue;
            std::int16_t& value = carrier.components[c].values[i];
            if (uniform(random) < p[next++]) value = PlusMinusOne(value, random);
        }
    return carrier;
}

std::optional<std::vector<std::uint8_t>> CoefficientSimulator::embed(const Crop&, const JpegCover& cover, double rate,
                                                                    std::uint64_t seed, std::string& failure) const {
    std::optional<JpegCoefficients> carrier = changed(cover.coefficients, rate, seed, failure);
    if (!carrier) return std::nullopt;
    return JpegCodec::WithCoefficients(cover.file, *carrier);
}

}  // namespace velquist::detect
