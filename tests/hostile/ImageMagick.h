// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velquist::testing {

// ImageMagick's convert, as a BMP writer and reader that has nothing to do with ours.
class ImageMagick {
public:
    static bool Available();
    // Writes a deterministic picture of the given size: `convert <size> <options> <coder>:<path>`.
    static void Write(int width, int height, const std::string& options, const std::string& coder,
                      const std::string& path);
    // The decoded pixels, top row first, 8-bit R, G, B per pixel; empty when it cannot decode.
    static std::vector<std::uint8_t> DecodeRgb(const std::string& path);
};

}  // namespace velquist::testing
