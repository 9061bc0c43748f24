// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/PngLayout.h"

#include <zlib.h>

#include <algorithm>

namespace velquist::png {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint32_t kMaxLength = 0x7FFFFFFF;
constexpr std::size_t kChunkOverhead = 12;  // length, type and CRC
constexpr std::size_t kHeaderLength = 13;
// Deflate turns one compressed byte into at most 1,032 bytes (a 258-byte match in two bits).
constexpr std::uint64_t kMaxInflation = 1032;

// The big-endian word at `at`; the caller has checked that four bytes lie there.
std::uint32_t BE32(std::span<const std::uint8_t> file, std::size_t at) {
    return std::uint32_t{file[at]} << 24 | std::uint32_t{file[at + 1]} << 16 |
           std::uint32_t{file[at + 2]} << 8 | std::uint32_t{file[at + 3]};
}

bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool CrcMatches(std::span<const std::uint8_t> file, const PngChunk& chunk) {
    // The CRC covers the type and the data; zlib takes at most 2^32 - 1 bytes a call, and a
    // chunk's data is at most 2^31 - 1.
    uLong crc = crc32(0, file.data() + chunk.offset + 4, static_cast<uInt>(chunk.size - 8));
    return crc == BE32(file, chunk.end() - 4);
}

// Reads the chunk at `at`, or says why there is none.
PngDamage ReadChunk(std::span<const std::uint8_t> file, std::size_t at, PngChunk& chunk) {
    std::size_t left = file.size() - at;
    if (left < kChunkOverhead) return PngDamage::ChunkPastEnd;
    std::uint32_t length = BE32(file, at);
    if (length > kMaxLength || length > left - kChunkOverhead) return PngDamage::ChunkPastEnd;
    chunk.offset = at;
    chunk.size = kChunkOverhead + length;
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at + 4), 4, chunk.type.begin());
    if (!std::all_of(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                     file.begin() + static_cast<std::ptrdiff_t>(at + 8), IsLetter))
        return PngDamage::ChunkType;
    if (!CrcMatches(file, chunk)) return PngDamage::ChunkCrc;
    return PngDamage::None;
}

// Lists every chunk up to IEND, which must end the file.
PngDamage WalkChunks(std::span<const std::uint8_t> file, PngLayout& layout) {
    if (file.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), file.begin()))
        return PngDamage::Signature;
    std::size_t at = kSignature.size();
    while (at < file.size()) {
        PngChunk chunk;
        if (PngDamage damage = ReadChunk(file, at, chunk); damage != PngDamage::None) return damage;
        layout.chunks.push_back(chunk);
        at = chunk.end();
        if (chunk.Is("IEND")) {
            if (chunk.dataLength() != 0) return PngDamage::EndMalformed;
            return at == file.size() ? PngDamage::None : PngDamage::BytesAfterEnd;
        }
    }
    return PngDamage::MissingEnd;
}

bool DepthFitsColour(std::uint8_t depth, std::uint8_t colour) {
    switch (colour) {
        case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6: return depth == 8 || depth == 16;
        default: return false;
    }
}

PngDamage ReadHeader(std::span<const std::uint8_t> file, PngLayout& layout) {
    const PngChunk& header = layout.chunks.front();
    if (!header.Is("IHDR")) return PngDamage::HeaderNotFirst;
    if (std::any_of(layout.chunks.begin() + 1, layout.chunks.end(),
                    [](const PngChunk& c) { return c.Is("IHDR"); }))
        return PngDamage::HeaderNotFirst;
    if (header.dataLength() != kHeaderLength) return PngDamage::HeaderMalformed;
    std::size_t at = header.dataOffset();
    layout.width = BE32(file, at);
    layout.height = BE32(file, at + 4);
    layout.bitDepth = file[at + 8];
    layout.colourType = file[at + 9];
    layout.interlaced = file[at + 12] == 1;
    bool sizeOk = layout.width >= 1 && layout.width <= kMaxLength && layout.height >= 1 &&
                  layout.height <= kMaxLength;
    bool methodsOk = file[at + 10] == 0 && file[at + 11] == 0 && file[at + 12] <= 1;
    if (!sizeOk || !methodsOk || !DepthFitsColour(layout.bitDepth, layout.colourType))
        return PngDamage::HeaderMalformed;
    return PngDamage::None;
}

PngDamage FindImageRun(PngLayout& layout) {
    auto isImage = [](const PngChunk& c) { return c.Is("IDAT"); };
    auto first = std::find_if(layout.chunks.begin(), layout.chunks.end(), isImage);
    if (first == layout.chunks.end()) return PngDamage::NoImageData;
    auto last = std::find_if_not(first, layout.chunks.end(), isImage);
    if (std::find_if(last, layout.chunks.end(), isImage) != layout.chunks.end())
        return PngDamage::ImageDataSplit;
    layout.firstImageChunk = static_cast<std::size_t>(first - layout.chunks.begin());
    layout.imageChunkCount = static_cast<std::size_t>(last - first);
    return PngDamage::None;
}

// The FLEVEL bits of the second byte of the zlib stream.
void ReadZlibLevel(std::span<const std::uint8_t> file, PngLayout& layout) {
    const PngChunk& first = layout.imageChunks().front();
    if (first.dataLength() >= 2) layout.zlibLevel = file[first.dataOffset() + 1] >> 6;
}

PngDamage DamageOf(std::span<const std::uint8_t> file, PngLayout& layout) {
    if (PngDamage damage = WalkChunks(file, layout); damage != PngDamage::None) return damage;
    if (PngDamage damage = ReadHeader(file, layout); damage != PngDamage::None) return damage;
    if (PngDamage damage = FindImageRun(layout); damage != PngDamage::None) return damage;
    ReadZlibLevel(file, layout);
    return PngDamage::None;
}

bool Holds(const PngLayout& layout, std::string_view type) {
    return std::any_of(layout.chunks.begin(), layout.chunks.end(),
                       [type](const PngChunk& c) { return c.Is(type); });
}

// A chunk is critical when its first type letter is upper case.
bool IsUnknownCritical(const PngChunk& c) {
    return (c.type[0] & 0x20) == 0 && !c.Is("IHDR") && !c.Is("PLTE") && !c.Is("IDAT") && !c.Is("IEND");
}

PngUnsupported UnsupportedRule(const PngLayout& layout) {
    switch (layout.colourType) {
        case 0: return PngUnsupported::Grey;
        case 3: return PngUnsupported::Palette;
        case 4: return PngUnsupported::GreyAlpha;
        default: break;
    }
    if (layout.bitDepth != 8) return PngUnsupported::BitDepth;
    if (Holds(layout, "acTL")) return PngUnsupported::Animated;
    if (Holds(layout, "tRNS")) return PngUnsupported::TransparentColour;
    if (std::any_of(layout.chunks.begin(), layout.chunks.end(), IsUnknownCritical))
        return PngUnsupported::UnknownCritical;
    // Both sides are below 2^31, so the product fits; the pixel bytes are only counted after it.
    if (layout.pixelCount() > kMaxPngPixels) return PngUnsupported::TooManyPixels;
    return PngUnsupported::None;
}

// A usable picture's image data must be able to inflate to at least its pixel bytes; so a
// small file that announces a huge picture is refused before anything is allocated for it.
bool ImageDataCanHoldPicture(const PngLayout& layout) {
    std::uint64_t compressed = 0;
    for (const PngChunk& chunk : layout.imageChunks()) compressed += chunk.dataLength();
    return layout.pixelCount() * static_cast<std::uint64_t>(layout.channels()) <=
           compressed * kMaxInflation;
}

}  // namespace

bool PngChunk::Is(std::string_view name) const {
    return name.size() == type.size() && std::equal(type.begin(), type.end(), name.begin());
}

std::span<const PngChunk> PngLayout::imageChunks() const {
    return std::span(chunks).subspan(firstImageChunk, imageChunkCount);
}

PngLayout ParsePng(std::span<const std::uint8_t> file) {
    PngLayout layout;
    layout.damage = DamageOf(file, layout);
    if (layout.damage != PngDamage::None) return layout;
    layout.unsupported = UnsupportedRule(layout);
    if (layout.unsupported != PngUnsupported::None) {
        layout.verdict = PngVerdict::Unsupported;
        return layout;
    }
    if (!ImageDataCanHoldPicture(layout)) {
        layout.damage = PngDamage::ImageDataTooShort;
        return layout;
    }
    layout.verdict = PngVerdict::Usable;
    return layout;
}

}  // namespace velquist::png
