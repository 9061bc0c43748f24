// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace velquist::png {

enum class PngVerdict {
    Usable,
    Damaged,
    Unsupported,
};

// Why a PNG is damaged: the first fault met while reading it from the start.
enum class PngDamage {
    None,
    Signature,         // does not start with the eight PNG signature bytes
    ChunkPastEnd,      // a chunk's length runs past the end of the file or past 2^31 - 1
    ChunkType,         // a chunk type that is not four ASCII letters
    ChunkCrc,          // a chunk whose CRC does not match its type and data
    HeaderNotFirst,    // the first chunk is not IHDR, or IHDR comes again later
    HeaderMalformed,   // IHDR of the wrong length, a size of 0 or past 2^31 - 1, unknown methods,
                       // or a colour type and bit depth that do not go together
    NoImageData,       // no IDAT chunk
    ImageDataSplit,    // other chunks between the IDAT chunks
    MissingEnd,        // the file ends without an IEND chunk
    EndMalformed,      // an IEND chunk that holds data
    BytesAfterEnd,     // anything after IEND: nothing reads it, so nothing could keep it
    ImageDataTooShort, // fewer compressed bytes than could ever inflate to the picture
    ImageData,         // the image data does not inflate to exactly the picture (found decoding)
};

// Why a sound PNG cannot carry: the first rule that applies, in this order.
enum class PngUnsupported {
    None,
    Palette,
    Grey,
    GreyAlpha,
    BitDepth,          // samples of other than 8 bits
    Animated,          // an acTL chunk: the other frames would keep the old pixels
    TransparentColour, // a tRNS chunk: a change of 1 could make a pixel transparent or opaque
    UnknownCritical,   // a critical chunk other than IHDR, PLTE, IDAT and IEND: without knowing
                       // it, the program cannot know what the pixels mean
    TooManyPixels,     // more than 2^28 pixels
};

// One chunk of the file, by the position of its whole bytes: length, type, data and CRC.
struct PngChunk {
    std::array<char, 4> type{};
    std::size_t offset = 0;
    std::size_t size = 0;

    std::size_t dataOffset() const { return offset + 8; }
    std::size_t dataLength() const { return size - 12; }
    std::size_t end() const { return offset + size; }
    bool Is(std::string_view name) const;
};

// What a PNG file says about itself, read once through bounds checks without inflating
// anything. The IHDR fields are filled once IHDR was read as the first chunk, whatever the
// verdict.
struct PngLayout {
    PngVerdict verdict = PngVerdict::Damaged;
    PngDamage damage = PngDamage::None;
    PngUnsupported unsupported = PngUnsupported::None;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    std::uint8_t colourType = 0;
    bool interlaced = false;
    // How hard the image data was compressed, from its zlib header: 0 fastest to 3 hardest (2,
    // the default, when the first IDAT is too short to say or, in a look, not read).
    std::uint8_t zlibLevel = 2;
    // Every chunk read, in file order; for a usable file, every chunk of the file. A look
    // (LookAtPng) keeps none.
    std::vector<PngChunk> chunks;
    // The IDAT run: chunks [firstImageChunk, firstImageChunk + imageChunkCount); none in a look.
    std::size_t firstImageChunk = 0;
    std::size_t imageChunkCount = 0;

    bool usable() const { return verdict == PngVerdict::Usable; }
    // 3 for RGB, 4 for RGBA.
    int channels() const { return colourType == 6 ? 4 : 3; }
    std::uint64_t pixelCount() const { return std::uint64_t{width} * height; }
    std::span<const PngChunk> imageChunks() const;
};

inline constexpr std::uint64_t kMaxPngPixels = std::uint64_t{1} << 28;
inline constexpr std::array<std::uint8_t, 8> kSignature{137, 80, 78, 71, 13, 10, 26, 10};
// The longest chunk data a PNG may have, and the largest width and height.
inline constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;

// True when `start` begins with the PNG signature.
bool StartsAsPng(std::span<const std::uint8_t> start);

// Judges `file` as a carrier: structure and every CRC first (damaged), then the carrier rules
// (unsupported), then whether the image data could hold the picture at all (damaged). Ancillary
// chunks it does not know are not judged. Cheap: reads each byte once for its CRC and inflates
// nothing.
PngLayout ParsePng(std::span<const std::uint8_t> file);

// Fills `into` with the file's bytes from `offset` on; asked only for bytes inside the file.
using ReadAt = std::function<void(std::uint64_t offset, std::span<std::uint8_t> into)>;

// The same judgement for a look at a file of `length` bytes, read through `read`: the chunk
// headers, and the data and CRC of the chunks up to kLookedChunkLength that are not image
// data; the image data is never read. So it takes memory for one small chunk whatever the
// file, and keeps no chunk list. Its verdict is ParsePng's but for the CRCs it does not read,
// which the decode of a command checks.
PngLayout LookAtPng(std::uint64_t length, const ReadAt& read);
inline constexpr std::uint32_t kLookedChunkLength = 65536;

}  // namespace velquist::png
