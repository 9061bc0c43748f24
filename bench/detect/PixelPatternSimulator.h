// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "Embedder.h"

namespace velquist::detect {

// Colour-aware embedding at the coding bound, with the pixel as the unit: each pixel's pattern
// of flipped lowest bits (none, one, two or all three samples) costs HILL of the planes it
// changes plus `weight` times HILL of the colour-difference planes R - G and B - G it moves, the
// ways of the changes chosen to move as few differences as they can (all three the same way
// moves none). Patterns are drawn from the Gibbs distribution exp(-l D) per pixel, l set so the
// patterns' entropy is the payload: what a code over the samples' lowest bits could carry at
// best with these costs.
class PixelPatternSimulator : public Embedder {
public:
    PixelPatternSimulator(double weight, bool joint) : weight_(weight), joint_(joint) {}
    std::string name() const override;
    std::optional<Picture> embed(const Crop& crop, const Picture& cover, double rate,
                                 std::uint64_t seed, std::string& failure) const override;

    // Pattern bits: 1 red, 2 green, 4 blue.
    using PatternCosts = std::array<double, 8>;
    static PatternCosts CostsOf(const std::array<double, 3>& plane, double redGreen, double blueGreen,
                                double weight);

private:
    // Independent samples instead of pixels: each flip costs what it would alone.
    std::vector<PatternCosts> patternCosts(const Picture& cover) const;

    double weight_;
    bool joint_;
};

}  // namespace velquist::detect
