// SPDX-License-Identifier: GPL-3.0-or-later
#include "HillSimulator.h"

#include "HillCost.h"
#include "PayloadLimitedSender.h"
#include "PlusMinusOne.h"

namespace velquist::detect {

std::optional<Picture> HillSimulator::embed(const Crop&, const Picture& cover, double rate,
                                            std::uint64_t seed, std::string&) const {
    std::vector<double> costs(cover.samples.size());
    for (int channel = 0; channel < 3; ++channel) {
        std::vector<double> planeCosts = HillCost(cover.plane(channel));
        for (std::size_t i = 0; i < planeCosts.size(); ++i) costs[3 * i + channel] = planeCosts[i];
    }
    std::vector<double> p = ChangeProbabilities(costs, rate * static_cast<double>(costs.size()));
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    Picture stego = cover;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (uniform(random) < p[i]) stego.samples[i] = PlusMinusOne(stego.samples[i], random);
    return stego;
}

}  // namespace velquist::detect
