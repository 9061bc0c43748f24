// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/PngProbe.h"

#include <zlib.h>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "engine/png/PngCodec.h"

namespace velquist::probes {

namespace {

using namespace velquist::png;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t BE32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
}

// Chunks lie one after the other from the signature on, each inside the file.
void CheckChunks(const PngLayout& layout, std::span<const std::uint8_t> bytes, Findings& f) {
    std::size_t at = 8;
    for (const PngChunk& c : layout.chunks) {
        f.Expect(c.offset == at && c.size >= 12 && c.end() <= bytes.size(), "chunk out of place");
        if (c.end() > bytes.size()) return;
        f.Expect(BE32(bytes, c.offset) == c.dataLength(), "chunk length differs from its field");
        at = c.end();
    }
}

void CheckUsable(const PngLayout& layout, std::span<const std::uint8_t> bytes, Findings& f) {
    f.Expect(layout.chunks.size() >= 3 && layout.chunks.front().Is("IHDR") &&
                 layout.chunks.back().Is("IEND") && layout.chunks.back().end() == bytes.size(),
             "usable without IHDR first and IEND last");
    if (bytes.size() < 29) return;
    f.Expect(layout.width == BE32(bytes, 16) && layout.height == BE32(bytes, 20) &&
                 bytes[24] == 8 && (bytes[25] == 2 || bytes[25] == 6) && bytes[28] <= 1,
             "usable with another IHDR than the bytes say");
    f.Expect(layout.pixelCount() <= kMaxPngPixels, "usable with more than 2^28 pixels");
    f.Expect(std::all_of(layout.imageChunks().begin(), layout.imageChunks().end(),
                         [](const PngChunk& c) { return c.Is("IDAT"); }),
             "image run holds another chunk");
    f.Expect(std::none_of(layout.chunks.begin(), layout.chunks.end(),
                          [](const PngChunk& c) { return c.Is("acTL") || c.Is("tRNS"); }),
             "usable with acTL or tRNS");
}

// The filtered rows' lengths, pass after pass for an interlaced picture.
std::vector<std::size_t> RowLengths(const PngLayout& layout) {
    struct Pass {
        std::uint32_t x, y, dx, dy;
    };
    constexpr Pass kWhole[1] = {{0, 0, 1, 1}};
    constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::span<const Pass> passes = layout.interlaced ? std::span<const Pass>(kAdam7) : kWhole;
    std::vector<std::size_t> rows;
    for (const Pass& p : passes) {
        std::size_t columns = layout.width > p.x ? (layout.width - p.x + p.dx - 1) / p.dx : 0;
        std::size_t count = layout.height > p.y ? (layout.height - p.y + p.dy - 1) / p.dy : 0;
        if (columns == 0) continue;
        rows.insert(rows.end(), count, 1 + columns * static_cast<std::size_t>(layout.channels()));
    }
    return rows;
}

// A second opinion from zlib alone: the IDAT run is one zlib stream with nothing after it that
// inflates to exactly the filtered rows, each with a known filter.
bool ImageDataIsSound(std::span<const std::uint8_t> bytes, const PngLayout& layout) {
    Bytes stream;
    for (const PngChunk& c : layout.imageChunks())
        stream.insert(stream.end(), bytes.begin() + c.dataOffset(), bytes.begin() + c.end() - 4);
    std::vector<std::size_t> rows = RowLengths(layout);
    std::size_t total = 0;
    for (std::size_t row : rows) total += row;
    Bytes raw(total + 1);
    z_stream z{};
    // Window bits 0: the window the stream declares, as libpng reads it.
    if (inflateInit2(&z, 0) != Z_OK) return false;
    z.next_in = stream.data();
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = raw.data();
    z.avail_out = static_cast<uInt>(raw.size());
    int result = inflate(&z, Z_FINISH);
    bool whole = result == Z_STREAM_END && z.avail_in == 0 && z.total_out == total;
    inflateEnd(&z);
    std::size_t at = 0;
    for (std::size_t row : rows) {
        if (!whole) break;
        whole = raw[at] <= 4;
        at += row;
    }
    return whole;
}

void CheckDecoded(std::span<const std::uint8_t> bytes, const PngLayout& parsed, const DecodedPng& decoded,
                  Findings& f) {
    const PngLayout& layout = decoded.layout;
    if (!parsed.usable()) {
        f.Expect(layout.verdict == parsed.verdict && layout.damage == parsed.damage &&
                     layout.unsupported == parsed.unsupported,
                 "decoding changed the parser's refusal");
    } else {
        f.Expect(layout.usable() || layout.damage == PngDamage::ImageData,
                 "decoding refused for another reason");
        f.Expect(layout.usable() == ImageDataIsSound(bytes, parsed),
                 layout.usable() ? "decoded image data zlib finds unsound" : "sound image data refused");
    }
    std::size_t expected = layout.usable() ? layout.pixelCount() * layout.channels() : 0;
    f.Expect(decoded.pixels.samples.size() == expected, "decoded sample count is wrong");
}

std::vector<Bytes> OtherChunks(std::span<const std::uint8_t> bytes, const PngLayout& layout) {
    std::vector<Bytes> kept;
    for (const PngChunk& c : layout.chunks)
        if (!c.Is("IDAT")) kept.emplace_back(bytes.begin() + c.offset, bytes.begin() + c.end());
    return kept;
}

// The re-encoding's other chunks are the old ones in order, but for some not marked safe to
// copy (the fourth type letter in upper case); every chunk so marked is there.
bool KeepsOtherChunks(const std::vector<Bytes>& before, const std::vector<Bytes>& after) {
    std::size_t next = 0;
    for (const Bytes& chunk : before) {
        if (next < after.size() && after[next] == chunk) {
            ++next;
        } else if ((chunk[7] & 0x20) != 0) {
            return false;
        }
    }
    return next == after.size();
}

// The pixels with the first colour sample of the first carrying pixel moved by 1.
PngPixels ChangeOneSample(PngPixels pixels) {
    for (std::size_t p = 0; p < pixels.pixelCount(); ++p) {
        if (!pixels.Carries(p)) continue;
        std::uint8_t& sample = pixels.samples[p * pixels.channels];
        sample = sample == 255 ? 254 : sample + 1;
        break;
    }
    return pixels;
}

void CheckReencoding(std::span<const std::uint8_t> bytes, const DecodedPng& decoded, Findings& f) {
    PngPixels changed = ChangeOneSample(decoded.pixels);
    Bytes encoded;
    try {
        encoded = EncodePng(bytes, decoded.layout, changed);
    } catch (const std::exception& e) {
        f.Expect(false, std::string("re-encoding threw: ") + e.what());
        return;
    }
    DecodedPng again = DecodePng(encoded);
    const PngLayout& before = decoded.layout;
    const PngLayout& after = again.layout;
    f.Expect(after.usable(), "the re-encoding is not usable");
    f.Expect(after.width == before.width && after.height == before.height &&
                 after.colourType == before.colourType && after.interlaced == before.interlaced,
             "the re-encoding has another IHDR");
    f.Expect(KeepsOtherChunks(OtherChunks(bytes, before), OtherChunks(encoded, after)),
             "the re-encoding changed a chunk other than IDAT");
    f.Expect(again.pixels.samples == changed.samples, "the re-encoding decodes to other pixels");
}

}  // namespace

Findings PngProbe::Run(std::span<const std::uint8_t> bytes) {
    Findings f;
    PngLayout parsed = ParsePng(bytes);
    CheckChunks(parsed, bytes, f);
    f.Expect(parsed.usable() == (parsed.verdict == PngVerdict::Usable && parsed.damage == PngDamage::None &&
                                 parsed.unsupported == PngUnsupported::None),
             "verdict and reasons disagree");
    if (parsed.usable()) CheckUsable(parsed, bytes, f);
    DecodedPng decoded = DecodePng(bytes);
    CheckDecoded(bytes, parsed, decoded, f);
    if (decoded.layout.usable()) CheckReencoding(bytes, decoded, f);
    return f;
}

}  // namespace velquist::probes
