// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PngMaker.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace velquist::png::testing {

namespace {

constexpr Bytes::difference_type kSignatureLength = 8;

void PutBE32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t BE32(const Bytes& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
}

int ChannelsOf(int colourType) {
    switch (colourType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1;
    }
}

std::size_t RowBytes(const PngRecipe& r) {
    return (std::size_t{r.width} * ChannelsOf(r.colourType) * r.bitDepth + 7) / 8;
}

void AppendToVector(png_structp png, png_bytep data, std::size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// A plain function, as libpng's longjmp needs; `out` lives in the caller.
bool WriteWithLibpng(const PngRecipe& r, const std::uint8_t* samples, Bytes* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendToVector, FlushNothing);
    png_set_IHDR(png, info, r.width, r.height, r.bitDepth, r.colourType,
                 r.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<png_byte>(i), static_cast<png_byte>(i), static_cast<png_byte>(i)};
    if (r.colourType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 1 << r.bitDepth);
    png_set_compression_buffer_size(png, r.idatSize);
    if (r.zlibLevel >= 0) png_set_compression_level(png, r.zlibLevel);
    if (r.filters != 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, r.filters);
    png_write_info(png, info);
    int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t y = 0; y < r.height; ++y) png_write_row(png, samples + y * RowBytes(r));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct MemorySource {
    const Bytes* file;
    std::size_t at = 0;
};

void ReadFromVector(png_structp png, png_bytep data, std::size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->file->size() - source->at) png_error(png, "read past the end");
    std::copy_n(source->file->data() + source->at, length, data);
    source->at += length;
}

// 8-bit pictures only, as the tests compare; `out` lives in the caller.
bool ReadWithLibpng(const Bytes& file, ReadPicture* out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    MemorySource source{&file};
    png_set_read_fn(png, &source, ReadFromVector);
    // The tests' colour profiles are placeholders: read past them as libpng would any chunk
    // it does not know.
    static const png_byte kProfile[] = "iCCP";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kProfile, 1);
    png_read_info(png, info);
    out->width = png_get_image_width(png, info);
    out->height = png_get_image_height(png, info);
    out->channels = png_get_channels(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    out->samples.assign(rowBytes * out->height, 0);
    std::vector<png_bytep> rows(out->height);
    for (std::uint32_t y = 0; y < out->height; ++y) rows[y] = out->samples.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::size_t FirstOf(const Bytes& png, std::string_view type) {
    for (const RawChunk& c : ListChunks(png))
        if (c.type == type) return c.offset;
    throw std::invalid_argument("no chunk " + std::string(type));
}

Bytes InsertAt(const Bytes& png, std::size_t at, const Bytes& chunks) {
    Bytes out(png.begin(), png.begin() + static_cast<Bytes::difference_type>(at));
    out.insert(out.end(), chunks.begin(), chunks.end());
    out.insert(out.end(), png.begin() + static_cast<Bytes::difference_type>(at), png.end());
    return out;
}

}  // namespace

Bytes PatternSamples(const PngRecipe& r) {
    Bytes samples(RowBytes(r) * r.height);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
    if (r.colourType != PNG_COLOR_TYPE_RGB_ALPHA || r.bitDepth != 8) return samples;
    for (std::size_t pixel = 0; pixel < samples.size() / 4; ++pixel)
        samples[pixel * 4 + 3] = pixel % 5 == 0 ? 0 : static_cast<std::uint8_t>(1 + pixel * 11 % 255);
    return samples;
}

Bytes WritePng(const PngRecipe& recipe, const Bytes& samples) {
    if (samples.size() != RowBytes(recipe) * recipe.height) throw std::invalid_argument("sample count");
    Bytes out;
    if (!WriteWithLibpng(recipe, samples.data(), &out)) throw std::runtime_error("libpng failed");
    return out;
}

ReadPicture ReadPng(const Bytes& file) {
    ReadPicture picture;
    if (!ReadWithLibpng(file, &picture)) throw std::runtime_error("libpng cannot read the picture");
    return picture;
}

Bytes Chunk(std::string_view type, const Bytes& data) {
    Bytes out;
    PutBE32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(out.size() - 4))));
    return out;
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Zlib(const Bytes& raw) {
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(length);
    if (compress2(out.data(), &length, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("zlib failed");
    out.resize(length);
    return out;
}

Bytes HeaderData(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType, int interlace) {
    Bytes data;
    PutBE32(data, width);
    PutBE32(data, height);
    for (int field : {bitDepth, colourType, 0, 0, interlace}) data.push_back(static_cast<std::uint8_t>(field));
    return data;
}

Bytes FilteredRows(std::uint32_t rows, std::size_t rowBytes) {
    Bytes raw;
    for (std::uint32_t y = 0; y < rows; ++y) {
        raw.push_back(0);
        for (std::size_t x = 0; x < rowBytes; ++x) raw.push_back(static_cast<std::uint8_t>(x + y));
    }
    return raw;
}

Bytes Assemble(const Bytes& headerData, const Bytes& chunks) {
    return Join({{137, 80, 78, 71, 13, 10, 26, 10}, Chunk("IHDR", headerData), chunks, Chunk("IEND", {})});
}

std::vector<RawChunk> ListChunks(const Bytes& png) {
    std::vector<RawChunk> chunks;
    for (std::size_t at = kSignatureLength; at + 12 <= png.size();) {
        std::size_t size = 12 + std::size_t{BE32(png, at)};
        if (size > png.size() - at) break;
        chunks.push_back({std::string(png.begin() + static_cast<Bytes::difference_type>(at + 4),
                                      png.begin() + static_cast<Bytes::difference_type>(at + 8)),
                          at, size});
        at += size;
    }
    return chunks;
}

Bytes InsertBeforeImage(const Bytes& png, const Bytes& chunks) {
    return InsertAt(png, FirstOf(png, "IDAT"), chunks);
}

Bytes InsertBeforeEnd(const Bytes& png, const Bytes& chunks) {
    return InsertAt(png, FirstOf(png, "IEND"), chunks);
}

std::vector<Bytes> ChunksOtherThanImage(const Bytes& png) {
    std::vector<Bytes> kept;
    for (const RawChunk& c : ListChunks(png))
        if (c.type != "IDAT")
            kept.emplace_back(png.begin() + static_cast<Bytes::difference_type>(c.offset),
                              png.begin() + static_cast<Bytes::difference_type>(c.offset + c.size));
    return kept;
}

}  // namespace velquist::png::testing
