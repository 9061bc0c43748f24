// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/PngCodec.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <future>
#include <iterator>
#include <stdexcept>

#include "engine/png/ChunkCopyRule.h"
#include "engine/png/ImageChunks.h"
#include "engine/png/LibdeflateCalls.h"
#include "engine/png/LibpngCalls.h"
#include "engine/png/PngLayout.h"
#include "engine/png/RowFilter.h"

namespace velquist::png {

namespace {

using Bytes = std::vector<std::uint8_t>;

// The new image data goes in chunks as long as the old file's first IDAT, so files written
// with fixed-size chunks keep that size. A single chunk stays single unless the new data
// outgrows twice the old one.
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

// Compressing about as hard as the old stream keeps the file near its old size, and at these
// levels libdeflate writes the zlib header's level bits as they were. For the default bits, 6
// comes within half a per cent of zlib's 6 on photographs in a fifth of the time; the levels
// below it are faster still, but grow rendered pictures by several per cent more and say 1.
int LevelOf(const PngLayout& layout) {
    constexpr int kLevels[4] = {1, 5, 6, 8};
    return kLevels[layout.zlibLevel & 3];
}

// Drawings and screenshots compress best unfiltered, photographs with a filter chosen row by
// row; a quick trial at the fastest level tells which, and the ranking holds at the others. A
// large picture is tried on bands of rows spread over it, which rank the filters as the whole
// does in a small part of the time.
RowFilter FilterFor(PngShape shape, const std::uint8_t* pixels) {
    constexpr std::uint32_t kBands = 16;
    constexpr std::uint32_t kBandRows = 16;
    Bytes trial;
    if (shape.height > 2 * kBands * kBandRows) {
        const std::size_t rowBytes = shape.rowBytes();
        trial.resize(rowBytes * kBands * kBandRows);
        for (std::uint32_t band = 0; band < kBands; ++band) {
            const std::size_t first = std::size_t{band} * (shape.height - kBandRows) / (kBands - 1);
            std::copy_n(pixels + first * rowBytes, rowBytes * kBandRows,
                        trial.data() + std::size_t{band} * kBandRows * rowBytes);
        }
        shape.height = kBands * kBandRows;
        pixels = trial.data();
    }
    auto compressed = [&](RowFilter filter) { return CompressToZlib(FilterRows(shape, pixels, filter), 1).size; };
    return compressed(RowFilter::None) <= compressed(RowFilter::Adaptive) ? RowFilter::None : RowFilter::Adaptive;
}

std::size_t ChunkSizeFor(const PngLayout& layout) {
    std::span<const PngChunk> run = layout.imageChunks();
    std::size_t size = run.size() > 1 ? run.front().dataLength()
                                      : 2 * run.front().dataLength() + kSingleChunkSlack;
    return std::clamp<std::size_t>(size, kMinChunkSize, kMaxChunkSize);
}

// The old file with `stream` as its image data, in IDAT chunks where the old ones were, and
// every other chunk the rewrite keeps byte for byte and in order.
Bytes Rewritten(std::span<const std::uint8_t> file, const PngLayout& layout,
                std::span<const std::uint8_t> stream) {
    const std::size_t chunkSize = ChunkSizeFor(layout);
    std::span<const PngChunk> run = layout.imageChunks();
    Bytes out;
    out.reserve(file.size() - (run.back().end() - run.front().offset) + ImageChunksSize(stream.size(), chunkSize));
    out.insert(out.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(layout.chunks.front().offset));
    for (std::size_t i = 0; i < layout.chunks.size(); ++i) {
        const PngChunk& chunk = layout.chunks[i];
        if (i == layout.firstImageChunk) AppendImageChunks(out, stream, chunkSize);
        if (chunk.Is("IDAT") || !KeptOnRewrite(chunk)) continue;
        std::span<const std::uint8_t> whole = file.subspan(chunk.offset, chunk.size);
        out.insert(out.end(), whole.begin(), whole.end());
    }
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
    const PngShape shape = ShapeOf(layout);
    const std::uint8_t* samples = pixels.samples.data();
    // Most pictures are photographs: their rows are filtered on the other core while the trial
    // runs, and only a drawing pays for filtering twice.
    std::future<Bytes> adaptive = std::async(std::launch::async | std::launch::deferred,
                                             [&] { return FilterRows(shape, samples, RowFilter::Adaptive); });
    const bool unfiltered = FilterFor(shape, samples) == RowFilter::None;
    Bytes rows = adaptive.get();
    if (unfiltered) rows = FilterRows(shape, samples, RowFilter::None);
    const ZlibStream stream = CompressToZlib(rows, LevelOf(layout));
    rows = {};
    return Rewritten(file, layout, stream.bytes());
}

}  // namespace velquist::png
