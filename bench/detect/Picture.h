// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace velquist::detect {

// One colour plane, or a difference of two, as signed values in rows.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<int> values;

    int at(int row, int col) const { return values[static_cast<std::size_t>(row) * width + col]; }
};

// The pixel array of a 24-bit picture in file order: rows as the file stores them (bottom
// row first for a bottom-up BMP), each pixel as blue, green, red. The chi-square attack
// follows this order, since a sequential hide fills the samples in it.
struct Picture {
    enum Channel { Blue = 0, Green = 1, Red = 2 };

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> samples;

    std::size_t index(int row, int col, int channel) const {
        return (static_cast<std::size_t>(row) * width + col) * 3 + channel;
    }
    Plane plane(int channel) const;
    // R - G or B - G: what is left of a picture once the colours' shared content is removed.
    Plane difference(int channel, int minus) const;
};

}  // namespace velquist::detect
