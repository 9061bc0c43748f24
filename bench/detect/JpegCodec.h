// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "JpegCoefficients.h"
#include "Picture.h"

namespace velquist::detect {

// The benchmark's only door to libjpeg: coefficients in and out of JPEG files in memory, the
// decoder's luminance, and compression of synthetic covers. Every call throws
// std::runtime_error with libjpeg's message when the data is not a JPEG it can take.
class JpegCodec {
public:
    static JpegCoefficients ReadCoefficients(const std::vector<std::uint8_t>& file);

    // `file` with its coefficients replaced by `coefficients` (same layout), everything else
    // (quantisation tables, sampling) kept, Huffman tables optimised for the new values.
    static std::vector<std::uint8_t> WithCoefficients(const std::vector<std::uint8_t>& file,
                                                      const JpegCoefficients& coefficients);

    // Each component as libjpeg's decoder gives it (integer IDCT, rounded and clipped to
    // 0..255) at its own resolution, before upsampling and colour conversion: what a detector
    // that has only the file sees, each plane's first row and column on its block grid.
    static std::vector<Plane> DecodeComponents(const std::vector<std::uint8_t>& file);

    // A baseline JPEG of `picture` at libjpeg's `quality`, chroma subsampled 2 x 2 (4:2:0).
    static std::vector<std::uint8_t> Compress(const Picture& picture, int quality);
};

}  // namespace velquist::detect
