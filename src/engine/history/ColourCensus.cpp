// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/history/ColourCensus.h"

#include <vector>

#include "engine/history/DecoderColours.h"

namespace velquist::history {

ColourCensus ColourCensus::Take(const Pixels& pixels) {
    const DecoderColours& decoder = DecoderColours::Get();
    std::vector<std::uint64_t> seen((std::size_t{1} << 24) / 64, 0);
    ColourCensus census;
    const std::uint8_t* rgb = pixels.rgb.data();
    for (std::size_t i = 0; i < pixels.count(); ++i, rgb += 3) {
        if (!pixels.carriesAt(i)) continue;
        ++census.carrying;
        Rgb colour{rgb[0], rgb[1], rgb[2]};
        if (colour.r == colour.g && colour.g == colour.b) continue;
        bool producible = decoder.Contains(colour);
        census.impossible += producible ? 0 : 1;
        std::uint32_t index = DecoderColours::Index(colour);
        std::uint64_t bit = std::uint64_t{1} << (index & 63);
        if (seen[index >> 6] & bit) continue;
        seen[index >> 6] |= bit;
        ++census.distinct;
        census.distinctImpossible += producible ? 0 : 1;
    }
    return census;
}

}  // namespace velquist::history
