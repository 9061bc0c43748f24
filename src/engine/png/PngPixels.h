// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velquist::png {

// A decoded picture: rows from the top, tightly packed, each pixel R, G, B and, with four
// channels, A.
struct PngPixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;
    std::vector<std::uint8_t> samples;

    std::size_t pixelCount() const { return std::size_t{width} * height; }
    // A pixel carries colour samples unless it is fully transparent; alpha is never one.
    bool Carries(std::size_t pixel) const;
    std::size_t CountCarrying() const;
    // Carries() of every pixel, in order.
    std::vector<bool> CarryingMask() const;
};

}  // namespace velquist::png
