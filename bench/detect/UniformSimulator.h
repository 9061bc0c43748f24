// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Embedder.h"

namespace velquist::detect {

// Non-adaptive +-1 embedding: every sample changes with the same probability, the smallest
// change rate that carries the payload (the binary entropy bound).
class UniformSimulator : public Embedder {
public:
    std::string name() const override { return "sim +-1"; }
    std::optional<Picture> embed(const Crop& crop, const Picture& cover, double rate,
                                 std::uint64_t seed, std::string& failure) const override;
};

}  // namespace velquist::detect
