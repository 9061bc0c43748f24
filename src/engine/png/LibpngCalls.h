// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/png/PngShape.h"

namespace velquist::png {

// The only call into libpng, which only ever reads here: new image data is filtered and
// compressed without it. libpng reports an error by longjmp, so this is a plain function that
// holds nothing needing destruction while libpng runs, and it answers with a bool.

struct LibpngRead {
    PngShape shape;
    // The stream libpng reads, piece after piece.
    std::span<const std::span<const std::uint8_t>> pieces;
    // width x height x channels bytes, rows from the top.
    std::uint8_t* pixels = nullptr;
};

// Decodes the image data into job.pixels; false when it does not inflate to exactly the
// picture the header announces, or libpng cannot get the memory it needs.
bool ReadWithLibpng(const LibpngRead& job);

}  // namespace velquist::png
