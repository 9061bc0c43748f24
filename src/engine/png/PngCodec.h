// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/png/PngLayout.h"
#include "engine/png/PngPixels.h"

namespace velquist::png {

struct DecodedPng {
    // ParsePng's verdict, turned to damaged (PngDamage::ImageData) when the image data does
    // not inflate to exactly the picture.
    PngLayout layout;
    // Empty unless the layout is usable.
    PngPixels pixels;
};

// Parses `file` and, when usable, decodes its pixels. Only IHDR, the IDAT run and IEND reach
// libpng, which is held to the sizes ParsePng allows. Throws std::bad_alloc when the pixels (at
// most 2^30 bytes) do not fit in memory.
DecodedPng DecodePng(std::span<const std::uint8_t> file);

// The file with its IDAT run replaced by `pixels`, filtered and compressed anew; every other
// chunk, IHDR included, stays byte for byte and in its place, except an unknown one not marked
// safe to copy, which is dropped. `layout` is ParsePng's or DecodePng's usable answer for
// `file`, and `pixels` has its size and channels. Throws std::invalid_argument when they do not
// fit, std::bad_alloc when the memory for the work runs out.
std::vector<std::uint8_t> EncodePng(std::span<const std::uint8_t> file, const PngLayout& layout,
                                    const PngPixels& pixels);

}  // namespace velquist::png
