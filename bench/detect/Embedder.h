// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Corpus.h"
#include "Picture.h"

namespace velquist::detect {

// Makes a carrier from a cover at a payload of `rate` bits per colour sample. Each call gets
// its own seed, so a run is the same whatever the number of threads.
class Embedder {
public:
    virtual ~Embedder() = default;
    virtual std::string name() const = 0;
    // The carrier, or nothing with `failure` saying why this embedder cannot make it.
    virtual std::optional<Picture> embed(const Crop& crop, const Picture& cover, double rate,
                                         std::uint64_t seed, std::string& failure) const = 0;
};

}  // namespace velquist::detect
