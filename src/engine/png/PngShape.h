// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace velquist::png {

// What the image data's layout hangs on: 8-bit samples, RGB or RGBA, rows from the top.
struct PngShape {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 3;
    bool interlaced = false;

    std::size_t rowBytes() const { return std::size_t{width} * static_cast<std::size_t>(channels); }
};

}  // namespace velquist::png
