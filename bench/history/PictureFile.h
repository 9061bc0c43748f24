// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velquist::bench {

// A picture file as the JPEG-history judgement sees it: 8-bit RGB rows from the top, and
// which pixels are not fully transparent.
struct PictureFile {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<std::uint8_t> carries;
};

// Reads any PNG libpng reads (palettes expanded, greys spread to RGB, 16-bit samples cut to
// their high byte, no gamma applied) or an uncompressed 24-bit bottom-up BMP; throws
// std::runtime_error naming the file otherwise.
PictureFile ReadPictureFile(const std::string& path);

}  // namespace velquist::bench
