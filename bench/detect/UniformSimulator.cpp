// SPDX-License-Identifier: GPL-3.0-or-later
#include "UniformSimulator.h"

#include "Entropy.h"
#include "PlusMinusOne.h"

namespace velquist::detect {

std::optional<Picture> UniformSimulator::embed(const Crop&, const Picture& cover, double rate,
                                               std::uint64_t seed, std::string&) const {
    std::mt19937_64 random(seed);
    std::bernoulli_distribution changed(InverseBinaryEntropy(rate));
    Picture stego = cover;
    for (std::uint8_t& sample : stego.samples)
        if (changed(random)) sample = PlusMinusOne(sample, random);
    return stego;
}

}  // namespace velquist::detect
