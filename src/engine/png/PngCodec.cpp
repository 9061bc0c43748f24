// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/PngCodec.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "engine/png/LibpngCalls.h"

namespace velquist::png {

namespace {

using Bytes = std::vector<std::uint8_t>;

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

LibpngRead ReadJobFor(std::span<const std::uint8_t> file, const PngLayout& layout, Bytes& pixels) {
    std::span<const PngChunk> run = layout.imageChunks();
    return {ShapeOf(layout),
            {Between(file, 0, layout.chunks.front().end()),
             Between(file, run.front().offset, run.back().end()),
             Between(file, layout.chunks.back().offset, layout.chunks.back().end())},
            pixels.data()};
}

bool Fits(std::span<const std::uint8_t> file, const PngLayout& layout, const PngPixels& pixels) {
    return layout.usable() && !layout.chunks.empty() && layout.chunks.back().end() == file.size() &&
           layout.imageChunkCount > 0 && pixels.width == layout.width &&
           pixels.height == layout.height && pixels.channels == layout.channels() &&
           pixels.samples.size() == pixels.pixelCount() * static_cast<std::size_t>(pixels.channels);
}

// zlib records how hard the old stream was compressed in the two FLEVEL bits of its second
// byte. Compressing about as hard again keeps the file near its old size and those bits as they
// were; for the hardest, 7 rather than 9: within a few per cent of 9 on photographs in a fifth
// of the time.
int LevelOf(std::span<const std::uint8_t> file, const PngChunk& firstImageChunk) {
    constexpr int kLevels[4] = {1, 5, 6, 7};
    if (firstImageChunk.dataLength() < 2) return Z_DEFAULT_COMPRESSION;
    std::uint8_t flags = file[firstImageChunk.dataOffset() + 1];
    return kLevels[flags >> 6];
}

Bytes Compress(const LibpngWrite& job) {
    Bytes png;
    if (!WriteWithLibpng(job, png)) throw std::bad_alloc();
    return png;
}

// Drawings and screenshots compress best unfiltered, photographs with libpng's filter chosen
// row by row; a quick trial at the fastest level tells which, and the ranking holds at the
// others.
RowFilter FilterFor(LibpngWrite job) {
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
    Bytes samples(static_cast<std::size_t>(layout.pixelCount()) * static_cast<std::size_t>(layout.channels()));
    if (!ReadWithLibpng(ReadJobFor(file, layout, samples))) {
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
    job.level = LevelOf(file, layout.imageChunks().front());
    Bytes fresh = Compress(job);
    PngLayout freshLayout = ParsePng(fresh);
    if (!freshLayout.usable()) throw std::logic_error("libpng wrote a PNG that does not parse");
    return Splice(file, layout, fresh, freshLayout);
}

}  // namespace velquist::png
