// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "engine/png/PngCodec.h"

namespace velquist {

// A PNG picture read whole, once per command: its bytes (a rewrite keeps every chunk but the
// image data), what its chunks say, and its decoded pixels.
struct PngCarrier {
    std::vector<std::uint8_t> file;
    png::DecodedPng decoded;
    // Pixels that are not fully transparent: only they carry samples.
    std::uint64_t carryingPixels = 0;
};

// The longest PNG file read: far more than 2^28 pixels ever compress to.
inline constexpr std::int64_t kMaxPngFileLength = std::int64_t{1} << 31;

}  // namespace velquist
