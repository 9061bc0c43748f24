// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "Embedder.h"

namespace velquist::detect {

// Version 3 through the stealth library in this process, with the cheapest key derivation: a
// carrier's statistics do not depend on the passphrase, and a row takes a minute instead of
// many. The payload is random bytes as long as the sealed stream of a message sized as for the
// command line's version 3 row (a sealed stream reads as random bytes). `sharpness` (of the
// costs, PixelCover) and `rounds`, when given, replace the library's defaults, for tuning.
class LibraryEmbedder : public Embedder {
public:
    LibraryEmbedder(std::optional<double> sharpness, std::optional<int> rounds)
        : sharpness_(sharpness), rounds_(rounds) {}
    std::string name() const override;
    std::optional<Picture> embed(const Crop& crop, const Picture& cover, double rate,
                                 std::uint64_t seed, std::string& failure) const override;

private:
    std::optional<double> sharpness_;
    std::optional<int> rounds_;
};

}  // namespace velquist::detect
