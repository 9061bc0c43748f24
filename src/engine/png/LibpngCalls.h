// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velquist::png {

// The only calls into libpng. libpng reports an error by longjmp, so these are plain functions
// that hold nothing needing destruction while libpng runs, and they answer with a bool.

struct PngShape {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 3;
    bool interlaced = false;
};

struct LibpngRead {
    PngShape shape;
    // The stream libpng reads, piece after piece.
    std::span<const std::span<const std::uint8_t>> pieces;
    // width x height x channels bytes, rows from the top.
    std::uint8_t* pixels = nullptr;
};

// Rows unfiltered, or each with the filter libpng finds best for it.
enum class RowFilter { None, Adaptive };

struct LibpngWrite {
    PngShape shape;
    const std::uint8_t* pixels = nullptr;
    int level = 6;
    int strategy = 0;  // zlib's Z_DEFAULT_STRATEGY
    RowFilter filter = RowFilter::Adaptive;
    // The most data libpng puts in one IDAT chunk.
    std::size_t chunkSize = 8192;
};

// Decodes the image data into job.pixels; false when it does not inflate to exactly the
// picture the header announces, or libpng cannot get the memory it needs.
bool ReadWithLibpng(const LibpngRead& job);

// Appends to `out` a whole PNG of the picture: signature, IHDR, IDAT chunks and IEND. False
// when libpng or the memory for `out` fails.
bool WriteWithLibpng(const LibpngWrite& job, std::vector<std::uint8_t>& out);

}  // namespace velquist::png
