// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Embedder.h"

namespace velquist::detect {

// Content-adaptive +-1 embedding at the coding bound: HILL costs computed per colour plane,
// one payload-limited sender over all samples, each change +1 or -1 at random.
class HillSimulator : public Embedder {
public:
    std::string name() const override { return "sim HILL"; }
    std::optional<Picture> embed(const Crop& crop, const Picture& cover, double rate,
                                 std::uint64_t seed, std::string& failure) const override;
};

}  // namespace velquist::detect
