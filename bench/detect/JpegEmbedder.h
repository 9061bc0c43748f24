// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Corpus.h"
#include "JpegCoefficients.h"

namespace velquist::detect {

// A JPEG cover: its file and the coefficients read from it.
struct JpegCover {
    std::vector<std::uint8_t> file;
    JpegCoefficients coefficients;
};

// Makes a carrier JPEG from a cover at a payload of `rate` bits per non-zero AC coefficient
// (counted over all components). Each call gets its own seed, so a run is the same whatever
// the number of threads.
class JpegEmbedder {
public:
    virtual ~JpegEmbedder() = default;
    virtual std::string name() const = 0;
    // Whether the cover can carry the payload of this rate at all: a format's own headers may
    // need more. Rows leave out the covers that cannot, and say how many.
    virtual bool fits(const JpegCover&, double) const { return true; }
    // The carrier's file, or nothing with `failure` saying why this embedder cannot make it.
    virtual std::optional<std::vector<std::uint8_t>> embed(const Crop& crop, const JpegCover& cover, double rate,
                                                          std::uint64_t seed, std::string& failure) const = 0;
};

}  // namespace velquist::detect
