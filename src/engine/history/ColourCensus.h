// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "engine/history/Pixels.h"

namespace velquist::history {

// How a picture's carrying pixels stand against the colours a JPEG decoder can put out. Grey
// pixels (R = G = B) are always producible and counted apart: they say nothing.
struct ColourCensus {
    std::uint64_t carrying = 0;
    std::uint64_t impossible = 0;
    // Distinct colours other than greys, and how many of them the decoder cannot produce.
    std::uint64_t distinct = 0;
    std::uint64_t distinctImpossible = 0;

    static ColourCensus Take(const Pixels& pixels);

    double impossibleShare() const {
        return carrying == 0 ? 0.0 : static_cast<double>(impossible) / static_cast<double>(carrying);
    }
    double distinctImpossibleShare() const {
        return distinct == 0 ? 0.0 : static_cast<double>(distinctImpossible) / static_cast<double>(distinct);
    }
};

}  // namespace velquist::history
