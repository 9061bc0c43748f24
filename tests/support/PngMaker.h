// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace velquist::png::testing {

using Bytes = std::vector<std::uint8_t>;

// A picture for libpng to write, in libpng's own terms.
struct PngRecipe {
    std::uint32_t width = 9;
    std::uint32_t height = 7;
    int colourType = 2;
    int bitDepth = 8;
    bool interlaced = false;
    // libpng's compression buffer, so the longest IDAT chunk it writes.
    std::size_t idatSize = 8192;
    // zlib's level (-1: libpng's default) and libpng's filter mask (0: libpng's default).
    int zlibLevel = -1;
    int filters = 0;
};

// One chunk as the tests see it, found by walking the file independently of the code tested.
struct RawChunk {
    std::string type;
    std::size_t offset = 0;
    std::size_t size = 0;
};

// Samples for the recipe's rows, tightly packed: every value from 0 to 255 turns up, and with
// an alpha channel every fifth pixel is fully transparent and the rest have varied alpha.
Bytes PatternSamples(const PngRecipe& recipe);
// The PNG libpng writes for the recipe and those samples (a palette of 256 greys when the
// colour type needs one).
Bytes WritePng(const PngRecipe& recipe, const Bytes& samples);

struct ReadPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;
    Bytes samples;
};
// The picture as libpng reads it, interlacing undone; throws when libpng refuses it.
ReadPicture ReadPng(const Bytes& file);

// A whole chunk: length, type, data and zlib's CRC.
Bytes Chunk(std::string_view type, const Bytes& data);
Bytes Text(std::string_view text);
Bytes Join(std::initializer_list<Bytes> parts);
Bytes Zlib(const Bytes& raw);
// The 13 bytes of an IHDR chunk's data.
Bytes HeaderData(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                 int interlace = 0);
// Rows of `rowBytes` bytes, each after filter byte 0, as the image data inflates to.
Bytes FilteredRows(std::uint32_t rows, std::size_t rowBytes);
// The signature, IHDR, `chunks` and IEND.
Bytes Assemble(const Bytes& headerData, const Bytes& chunks);

std::vector<RawChunk> ListChunks(const Bytes& png);
// The file with `chunks` put just before the first IDAT, or just before IEND.
Bytes InsertBeforeImage(const Bytes& png, const Bytes& chunks);
Bytes InsertBeforeEnd(const Bytes& png, const Bytes& chunks);
// The whole bytes of every chunk other than IDAT, in order.
std::vector<Bytes> ChunksOtherThanImage(const Bytes& png);

}  // namespace velquist::png::testing
