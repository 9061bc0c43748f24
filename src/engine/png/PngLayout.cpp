// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/PngLayout.h"

#include <zlib.h>

#include <algorithm>
#include <optional>

#include "engine/bytes/ByteReader.h"

namespace velquist::png {

namespace {

constexpr std::size_t kChunkHead = 8;       // length and type
constexpr std::size_t kChunkOverhead = 12;  // length, type and CRC
constexpr std::size_t kHeaderLength = 13;
// Deflate turns one compressed byte into at most 1,032 bytes (a 258-byte match in two bits).
constexpr std::uint64_t kMaxInflation = 1032;

// Where a walk finds the file's bytes: the whole file in memory, or reads of the file where
// it lies, one piece at a time.
class FileBytes {
public:
    explicit FileBytes(std::span<const std::uint8_t> file) : file_(file), size_(file.size()) {}
    FileBytes(std::uint64_t size, const ReadAt& read) : size_(size), read_(&read) {}

    std::uint64_t Size() const { return size_; }
    // Every chunk is checked in memory; a look reads only what it checks.
    bool Whole() const { return read_ == nullptr; }
    // The `count` bytes at `offset`, which lie inside the file; valid until the next call.
    std::span<const std::uint8_t> At(std::uint64_t offset, std::size_t count) {
        if (Whole()) return file_.subspan(static_cast<std::size_t>(offset), count);
        buffer_.resize(count);
        (*read_)(offset, buffer_);
        return buffer_;
    }

private:
    std::span<const std::uint8_t> file_;
    std::uint64_t size_;
    const ReadAt* read_ = nullptr;
    std::vector<std::uint8_t> buffer_;
};

// What the walk has met so far, for the rules that need every chunk: kept as it goes, so that
// a look holds nothing per chunk.
struct Seen {
    enum class Image { Before, Inside, After };
    std::size_t chunks = 0;
    bool headerNotFirst = false;  // the first chunk is not IHDR, or IHDR comes again later
    bool headerMalformed = false;
    Image image = Image::Before;
    bool imageSplit = false;
    bool animated = false;
    bool transparentColour = false;
    bool unknownCritical = false;
    std::uint64_t compressed = 0;  // the data bytes of the IDAT run
};

bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Reads the header of the chunk at `at`, or says why there is none.
PngDamage ReadChunk(FileBytes& file, std::uint64_t at, PngChunk& chunk) {
    std::uint64_t left = file.Size() - at;
    if (left < kChunkOverhead) return PngDamage::ChunkPastEnd;
    bytes::ByteReader head(file.At(at, kChunkHead));
    std::uint32_t length = head.U32BE();
    std::span<const std::uint8_t> type = head.Bytes(chunk.type.size());
    if (length > kMaxChunkLength || length > left - kChunkOverhead) return PngDamage::ChunkPastEnd;
    chunk.offset = static_cast<std::size_t>(at);
    chunk.size = kChunkOverhead + length;
    std::copy(type.begin(), type.end(), chunk.type.begin());
    if (!std::all_of(type.begin(), type.end(), IsLetter)) return PngDamage::ChunkType;
    return PngDamage::None;
}

// A look leaves the image data and the large chunks unread.
bool Checks(const FileBytes& file, const PngChunk& chunk) {
    return file.Whole() || (!chunk.Is("IDAT") && chunk.dataLength() <= kLookedChunkLength);
}

// The chunk's data, once its CRC, which covers the type and the data, matched; nothing when
// it did not.
std::optional<std::span<const std::uint8_t>> CheckedData(FileBytes& file, const PngChunk& chunk) {
    bytes::ByteReader r(file.At(chunk.offset + 4, chunk.size - 4));
    std::span<const std::uint8_t> typeAndData = r.Bytes(chunk.size - kChunkOverhead + 4);
    std::uint32_t stored = r.U32BE();
    // zlib takes at most 2^32 - 1 bytes a call, and a chunk's data is at most 2^31 - 1.
    uLong crc = crc32(0, typeAndData.data(), static_cast<uInt>(typeAndData.size()));
    if (crc != stored) return std::nullopt;
    return typeAndData.subspan(4);
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

// Fills the IHDR fields; false when they do not describe a picture.
bool ReadHeader(std::span<const std::uint8_t> data, PngLayout& layout) {
    if (data.size() != kHeaderLength) return false;
    bytes::ByteReader r(data);
    layout.width = r.U32BE();
    layout.height = r.U32BE();
    layout.bitDepth = r.U8();
    layout.colourType = r.U8();
    std::uint8_t compression = r.U8();
    std::uint8_t filter = r.U8();
    std::uint8_t interlace = r.U8();
    layout.interlaced = interlace == 1;
    bool sizeOk = layout.width >= 1 && layout.width <= kMaxChunkLength && layout.height >= 1 &&
                  layout.height <= kMaxChunkLength;
    bool methodsOk = compression == 0 && filter == 0 && interlace <= 1;
    return sizeOk && methodsOk && DepthFitsColour(layout.bitDepth, layout.colourType);
}

void NoteHeader(const PngChunk& chunk, std::optional<std::span<const std::uint8_t>> data,
                bool first, PngLayout& layout, Seen& seen) {
    if (!chunk.Is("IHDR")) {
        if (first) seen.headerNotFirst = true;
        return;
    }
    if (!first) {
        seen.headerNotFirst = true;
        return;
    }
    // An IHDR of the right length is small enough for a look to read.
    if (chunk.dataLength() != kHeaderLength || !data || !ReadHeader(*data, layout))
        seen.headerMalformed = true;
}

void NoteImage(const PngChunk& chunk, std::optional<std::span<const std::uint8_t>> data,
               bool keep, PngLayout& layout, Seen& seen) {
    if (!chunk.Is("IDAT")) {
        if (seen.image == Seen::Image::Inside) seen.image = Seen::Image::After;
        return;
    }
    if (seen.image == Seen::Image::After) {
        seen.imageSplit = true;
        return;
    }
    if (seen.image == Seen::Image::Before) {
        seen.image = Seen::Image::Inside;
        if (keep) layout.firstImageChunk = seen.chunks;
        // The FLEVEL bits of the second byte of the zlib stream.
        if (data && data->size() >= 2) layout.zlibLevel = (*data)[1] >> 6;
    }
    if (keep) ++layout.imageChunkCount;
    seen.compressed += chunk.dataLength();
}

// A chunk is critical when its first type letter is upper case.
bool IsUnknownCritical(const PngChunk& c) {
    return (c.type[0] & 0x20) == 0 && !c.Is("IHDR") && !c.Is("PLTE") && !c.Is("IDAT") && !c.Is("IEND");
}

void Note(const PngChunk& chunk, std::optional<std::span<const std::uint8_t>> data, bool keep,
          PngLayout& layout, Seen& seen) {
    NoteHeader(chunk, data, seen.chunks == 0, layout, seen);
    NoteImage(chunk, data, keep, layout, seen);
    if (chunk.Is("acTL")) seen.animated = true;
    if (chunk.Is("tRNS")) seen.transparentColour = true;
    if (IsUnknownCritical(chunk)) seen.unknownCritical = true;
    ++seen.chunks;
    if (keep) layout.chunks.push_back(chunk);
}

// Walks every chunk up to IEND, which must end the file: the first fault of its structure or
// of a CRC it checks.
PngDamage Walk(FileBytes& file, PngLayout& layout, Seen& seen) {
    if (file.Size() < kSignature.size() || !StartsAsPng(file.At(0, kSignature.size())))
        return PngDamage::Signature;
    std::uint64_t at = kSignature.size();
    while (at < file.Size()) {
        PngChunk chunk;
        if (PngDamage damage = ReadChunk(file, at, chunk); damage != PngDamage::None) return damage;
        std::optional<std::span<const std::uint8_t>> data;
        if (Checks(file, chunk)) {
            data = CheckedData(file, chunk);
            if (!data) return PngDamage::ChunkCrc;
        }
        Note(chunk, data, file.Whole(), layout, seen);
        at = chunk.end();
        if (chunk.Is("IEND")) {
            if (chunk.dataLength() != 0) return PngDamage::EndMalformed;
            return at == file.Size() ? PngDamage::None : PngDamage::BytesAfterEnd;
        }
    }
    return PngDamage::MissingEnd;
}

PngDamage DamageOf(FileBytes& file, PngLayout& layout, Seen& seen) {
    if (PngDamage damage = Walk(file, layout, seen); damage != PngDamage::None) return damage;
    if (seen.headerNotFirst) return PngDamage::HeaderNotFirst;
    if (seen.headerMalformed) return PngDamage::HeaderMalformed;
    if (seen.image == Seen::Image::Before) return PngDamage::NoImageData;
    if (seen.imageSplit) return PngDamage::ImageDataSplit;
    return PngDamage::None;
}

PngUnsupported UnsupportedRule(const PngLayout& layout, const Seen& seen) {
    switch (layout.colourType) {
        case 0: return PngUnsupported::Grey;
        case 3: return PngUnsupported::Palette;
        case 4: return PngUnsupported::GreyAlpha;
        default: break;
    }
    if (layout.bitDepth != 8) return PngUnsupported::BitDepth;
    if (seen.animated) return PngUnsupported::Animated;
    if (seen.transparentColour) return PngUnsupported::TransparentColour;
    if (seen.unknownCritical) return PngUnsupported::UnknownCritical;
    // Both sides are below 2^31, so the product fits; the pixel bytes are only counted after it.
    if (layout.pixelCount() > kMaxPngPixels) return PngUnsupported::TooManyPixels;
    return PngUnsupported::None;
}

// A usable picture's image data must be able to inflate to at least its pixel bytes; so a
// small file that announces a huge picture is refused before anything is allocated for it.
bool ImageDataCanHoldPicture(const PngLayout& layout, const Seen& seen) {
    return layout.pixelCount() * static_cast<std::uint64_t>(layout.channels()) <=
           seen.compressed * kMaxInflation;
}

PngLayout Judge(FileBytes& file) {
    PngLayout layout;
    Seen seen;
    layout.damage = DamageOf(file, layout, seen);
    if (layout.damage != PngDamage::None) return layout;
    layout.unsupported = UnsupportedRule(layout, seen);
    if (layout.unsupported != PngUnsupported::None) {
        layout.verdict = PngVerdict::Unsupported;
        return layout;
    }
    if (!ImageDataCanHoldPicture(layout, seen)) {
        layout.damage = PngDamage::ImageDataTooShort;
        return layout;
    }
    layout.verdict = PngVerdict::Usable;
    return layout;
}

}  // namespace

bool PngChunk::Is(std::string_view name) const {
    return name.size() == type.size() && std::equal(type.begin(), type.end(), name.begin());
}

std::span<const PngChunk> PngLayout::imageChunks() const {
    return std::span(chunks).subspan(firstImageChunk, imageChunkCount);
}

bool StartsAsPng(std::span<const std::uint8_t> start) {
    return start.size() >= kSignature.size() &&
           std::equal(kSignature.begin(), kSignature.end(), start.begin());
}

PngLayout ParsePng(std::span<const std::uint8_t> file) {
    FileBytes bytes(file);
    return Judge(bytes);
}

PngLayout LookAtPng(std::uint64_t length, const ReadAt& read) {
    FileBytes bytes(length, read);
    return Judge(bytes);
}

}  // namespace velquist::png
