// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/ChangeDirections.h"

#include <vector>

#include "engine/stealth/pixels/RandomBits.h"

namespace velquist::stealth {

namespace {

// Outweighs the six votes of the neighbours.
constexpr int kForced = 8;

}  // namespace

void ChangeDirections::Choose(const PictureView& picture, const RandomBits& ties,
                              std::span<std::int8_t> changes) {
    const SampleGeometry& g = picture.geometry;
    const std::uint32_t width = g.Width();
    std::vector<std::uint64_t> above(width, SampleGeometry::kNoSample), here(width);
    for (std::uint32_t y = 0; y < g.Height(); ++y) {
        g.RowSamples(y, here);
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint64_t first = here[x];
            if (first == SampleGeometry::kNoSample) continue;
            int votes = 0;
            bool any = false;
            for (unsigned c = 0; c < 3; ++c) {
                if (changes[first + c] == 0) continue;
                any = true;
                // A sample at 0 or 255 has one way; the rest follow it to keep the differences.
                const std::uint8_t value = picture.samples[first + c];
                if (value == 0 || value == 255) votes += value == 0 ? kForced : -kForced;
                if (x > 0 && here[x - 1] != SampleGeometry::kNoSample) votes += changes[here[x - 1] + c];
                if (above[x] != SampleGeometry::kNoSample) votes += changes[above[x] + c];
            }
            if (!any) continue;
            const bool tieUp = ties[std::size_t{y} * width + x];
            const std::int8_t way = votes > 0 || (votes == 0 && tieUp) ? 1 : -1;
            for (unsigned c = 0; c < 3; ++c) {
                std::int8_t& change = changes[first + c];
                if (change == 0) continue;
                const std::uint8_t value = picture.samples[first + c];
                change = value == 0 ? 1 : (value == 255 ? -1 : way);
            }
        }
        std::swap(above, here);
    }
}

}  // namespace velquist::stealth
