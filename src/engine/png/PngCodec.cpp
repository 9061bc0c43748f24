// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/PngCodec.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <new>
#include <stdexcept>

#include "engine/png/LibpngCalls.h"

namespace velquist::png {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t kMaxChunkLength = 0x7FFFFFFF;
// libpng cuts the new image data into chunks no longer than the old file's first IDAT, so
// files written with fixed-size chunks keep that size. A single chunk stays single unless the
// new data outgrows twice the old one.
constexpr std::size_t kMinChunkSize = 1024;
constexpr std::size_t kMaxChunkSize = std::size_t{1} << 26;
constexpr std::size_t kSingleChunkSlack = 64 * 1024;

PngShape ShapeOf(const PngLayout& layout) {
    return {layout.width, layout.height, layout.channels(), layout.interlaced};
}

std::span<const std::uint8_t> Between(std::span<const std::uint8_t> file, std::size_t from,
                                      std::size_t to) {
    return file.subspan(from, to - from);
}

// What libpng reads: the signature and IHDR, the IDAT run joined into one IDAT chunk, and IEND.
// Joined, data after the end of the zlib stream is an error wherever it lies; libpng would let
// whole IDAT chunks after the stream's end pass.
struct JoinedStream {
    std::array<std::uint8_t, 8> imageHeader{};  // the joined chunk's length and type
    std::array<std::uint8_t, 4> imageCrc{};
    std::vector<std::span<const std::uint8_t>> pieces;
};

void PutBE32(std::uint8_t* to, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) to[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// False when the joined data would be longer than a chunk can be.
bool JoinImageRun(std::span<const std::uint8_t> file, const PngLayout& layout, JoinedStream& joined) {
    constexpr std::uint8_t kType[4] = {'I', 'D', 'A', 'T'};
    std::uint64_t length = 0;
    for (const PngChunk& c : layout.imageChunks()) length += c.dataLength();
    if (length > kMaxChunkLength) return false;
    PutBE32(joined.imageHeader.data(), static_cast<std::uint32_t>(length));
    std::copy(std::begin(kType), std::end(kType), joined.imageHeader.begin() + 4);
    uLong crc = crc32(0, kType, 4);
    joined.pieces.push_back(Between(file, 0, layout.chunks.front().end()));
    joined.pieces.push_back(joined.imageHeader);
    for (const PngChunk& c : layout.imageChunks()) {
        std::span<const std::uint8_t> data = file.subspan(c.dataOffset(), c.dataLength());
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
        joined.pieces.push_back(data);
    }
    PutBE32(joined.imageCrc.data(), static_cast<std::uint32_t>(crc));
    joined.pieces.push_back(joined.imageCrc);
    joined.pieces.push_back(Between(file, layout.chunks.back().offset, file.size()));
    return true;
}

bool Fits(std::span<const std::uint8_t> file, const PngLayout& layout, const PngPixels& pixels) {
    return layout.usable() && !layout.chunks.empty() && layout.chunks.back().end() == file.size() &&
           layout.imageChunkCount > 0 && pixels.width == layout.width &&
           pixels.height == layout.height && pixels.channels == layout.channels() &&
           pixels.samples.size() == pixels.pixelCount() * static_cast<std::size_t>(pixels.channels);
}

// Compressing about as hard as the old stream keeps the file near its old size and the zlib
// header's level bits as they were; for the hardest, 7 rather than 9: within a few per cent of
// 9 on photographs in a fifth of the time.
int LevelOf(const PngLayout& layout) {
    constexpr int kLevels[4] = {1, 5, 6, 7};
    return kLevels[layout.zlibLevel & 3];
}

Bytes Compress(const LibpngWrite& job) {
    Bytes png;
    if (!WriteWithLibpng(job, png)) throw std::bad_alloc();
    return png;
}

// Drawings and screenshots compress best unfiltered, photographs with libpng's filter chosen
// row by row; a quick trial at the fastest level tells which, and the ranking holds at the
// others. A large picture is tried on bands of rows spread over it, which rank the filters as
// the whole does in a small part of the time (a 12-megapixel photograph: a second less).
RowFilter FilterFor(LibpngWrite job) {
    constexpr std::uint32_t kBands = 16;
    constexpr std::uint32_t kBandRows = 16;
    Bytes trial;
    if (job.shape.height > 2 * kBands * kBandRows) {
        const std::size_t rowBytes = std::size_t{job.shape.width} * static_cast<std::size_t>(job.shape.channels);
        trial.resize(rowBytes * kBands * kBandRows);
        for (std::uint32_t band = 0; band < kBands; ++band) {
            const std::size_t first = std::size_t{band} * (job.shape.height - kBandRows) / (kBands - 1);
            std::copy_n(job.pixels + first * rowBytes, rowBytes * kBandRows,
                        trial.data() + std::size_t{band} * kBandRows * rowBytes);
        }
        job.shape.height = kBands * kBandRows;
        job.pixels = trial.data();
    }
    job.level = 1;
    job.strategy = Z_DEFAULT_STRATEGY;
    job.filter = RowFilter::None;
    std::size_t unfiltered = Compress(job).size();
    job.filter = RowFilter::Adaptive;
    return unfiltered <= Compress(job).size() ? RowFilter::None : RowFilter::Adaptive;
}

std::size_t ChunkSizeFor(const PngLayout& layout) {
    std::span<const PngChunk> run = layout.imageChunks();
    std::size_t size = run.size() > 1 ? run.front().dataLength()
                                      : 2 * run.front().dataLength() + kSingleChunkSlack;
    return std::clamp<std::size_t>(size, kMinChunkSize, kMaxChunkSize);
}

Bytes Splice(std::span<const std::uint8_t> file, const PngLayout& layout,
             std::span<const std::uint8_t> fresh, const PngLayout& freshLayout) {
    std::span<const PngChunk> oldRun = layout.imageChunks();
    std::span<const PngChunk> newRun = freshLayout.imageChunks();
    Bytes out;
    out.reserve(file.size() - (oldRun.back().end() - oldRun.front().offset) +
                (newRun.back().end() - newRun.front().offset));
    out.insert(out.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(oldRun.front().offset));
    std::span<const std::uint8_t> newData = Between(fresh, newRun.front().offset, newRun.back().end());
    out.insert(out.end(), newData.begin(), newData.end());
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(oldRun.back().end()), file.end());
    return out;
}

}  // namespace

DecodedPng DecodePng(std::span<const std::uint8_t> file) {
    DecodedPng decoded{ParsePng(file), {}};
    const PngLayout& layout = decoded.layout;
    if (!layout.usable()) return decoded;
    JoinedStream joined;
    Bytes samples(static_cast<std::size_t>(layout.pixelCount()) * static_cast<std::size_t>(layout.channels()));
    if (!JoinImageRun(file, layout, joined) ||
        !ReadWithLibpng({ShapeOf(layout), joined.pieces, samples.data()})) {
        decoded.layout.verdict = PngVerdict::Damaged;
        decoded.layout.damage = PngDamage::ImageData;
        return decoded;
    }
    decoded.pixels = {layout.width, layout.height, layout.channels(), std::move(samples)};
    return decoded;
}

Bytes EncodePng(std::span<const std::uint8_t> file, const PngLayout& layout, const PngPixels& pixels) {
    if (!Fits(file, layout, pixels))
        throw std::invalid_argument("the pixels or the layout do not belong to this PNG");
    LibpngWrite job;
    job.shape = ShapeOf(layout);
    job.pixels = pixels.samples.data();
    job.chunkSize = ChunkSizeFor(layout);
    job.filter = FilterFor(job);
    // zlib's own advice for filtered rows: favour short matches and literals.
    job.strategy = job.filter == RowFilter::Adaptive ? Z_FILTERED : Z_DEFAULT_STRATEGY;
    job.level = LevelOf(layout);
    Bytes fresh = Compress(job);
    PngLayout freshLayout = ParsePng(fresh);
    if (!freshLayout.usable()) throw std::logic_error("libpng wrote a PNG that does not parse");
    return Splice(file, layout, fresh, freshLayout);
}

}  // namespace velquist::png
