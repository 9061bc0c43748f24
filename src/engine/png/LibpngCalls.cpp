// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/LibpngCalls.h"

#include <png.h>

#include <cstring>

#include "engine/png/PngLayout.h"

namespace velquist::png {

namespace {

// libpng never allocates more than this for one chunk's data, and keeps few unknown chunks;
// the reader is only ever given IHDR, IDAT and IEND, which it reads in small pieces.
constexpr png_alloc_size_t kChunkMallocMax = png_alloc_size_t{1} << 20;
constexpr png_uint_32 kChunkCacheMax = 16;
// A usable picture has at most 2^28 pixels, so neither side is longer.
constexpr png_uint_32 kSideMax = static_cast<png_uint_32>(kMaxPngPixels);

struct ReadCursor {
    const LibpngRead* job;
    std::size_t piece;
    std::size_t position;
};

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void OnWarning(png_structp, png_const_charp) {}

void ReadPieces(png_structp png, png_bytep data, std::size_t length) {
    auto* cursor = static_cast<ReadCursor*>(png_get_io_ptr(png));
    while (length > 0) {
        if (cursor->piece == cursor->job->pieces.size()) png_error(png, "read past the end");
        std::span<const std::uint8_t> piece = cursor->job->pieces[cursor->piece];
        std::size_t n = piece.size() - cursor->position;
        if (n > length) n = length;
        std::memcpy(data, piece.data() + cursor->position, n);
        data += n;
        length -= n;
        cursor->position += n;
        if (cursor->position == piece.size()) {
            ++cursor->piece;
            cursor->position = 0;
        }
    }
}

void LimitReader(png_structp png) {
    // Any CRC error and any benign error (extra or missing compressed data) is an error.
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    png_set_benign_errors(png, 0);
    png_set_user_limits(png, kSideMax, kSideMax);
    png_set_chunk_cache_max(png, kChunkCacheMax);
    png_set_chunk_malloc_max(png, kChunkMallocMax);
}

int ColourTypeOf(const PngShape& shape) {
    return shape.channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
}

int InterlaceOf(const PngShape& shape) {
    return shape.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
}

// Stops with a libpng error when libpng sees another picture than the one announced.
void CheckShape(png_structp png, png_infop info, const PngShape& shape) {
    bool same = png_get_image_width(png, info) == shape.width &&
                png_get_image_height(png, info) == shape.height &&
                png_get_bit_depth(png, info) == 8 &&
                png_get_color_type(png, info) == ColourTypeOf(shape) &&
                png_get_interlace_type(png, info) == InterlaceOf(shape) &&
                png_get_rowbytes(png, info) == std::size_t{shape.width} * shape.channels;
    if (!same) png_error(png, "the stream announces another picture");
}

void ReadRows(png_structp png, int passes, const LibpngRead& job) {
    std::size_t stride = std::size_t{job.shape.width} * job.shape.channels;
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t y = 0; y < job.shape.height; ++y)
            png_read_row(png, job.pixels + y * stride, nullptr);
}

}  // namespace

bool ReadWithLibpng(const LibpngRead& job) {
    ReadCursor cursor{&job, 0, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &cursor, ReadPieces);
    LimitReader(png);
    png_read_info(png, info);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    CheckShape(png, info, job.shape);
    ReadRows(png, passes, job);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace velquist::png
