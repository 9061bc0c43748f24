// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// JPEG pictures written and read by libjpeg itself, independently of the code tested, and a
// marker walk of their own to tell the scan data from the rest.
namespace velquist::jpeg::testing {

using Bytes = std::vector<std::uint8_t>;

// Chroma sampling of a colour picture (a grey one has a single 1 x 1 component).
enum class Sampling { S444, S422, S420 };

// An APPn or COM segment: its marker byte and the bytes after its length.
struct Marker {
    std::uint8_t code = 0;
    Bytes payload;
};

// A camera's Exif APP1, an ICC profile in one APP2, an XMP APP1 and a comment.
Marker ExifMarker();
Marker IccMarker();
Marker XmpMarker();
Marker CommentMarker(std::string_view text);

// One coefficient set after the picture is compressed: component, block and natural index.
struct CoefficientEdit {
    int component = 0;
    std::uint32_t blockRow = 0;
    std::uint32_t blockColumn = 0;
    int k = 0;
    std::int16_t value = 0;
};

// A photograph-like picture (gradients, texture and noise) compressed by libjpeg, in libjpeg's
// own terms.
struct JpegRecipe {
    std::uint32_t width = 33;
    std::uint32_t height = 17;
    int components = 3;  // 1 grey, 3 YCbCr; 2 (no colour space) and 4 (CMYK) can be written too
    Sampling sampling = Sampling::S420;
    int quality = 75;
    bool progressive = false;  // libjpeg's standard progression
    bool interleaved = true;   // false: a sequential scan for each component
    bool arithmetic = false;
    bool optimise = false;     // Huffman tables made for the picture instead of the standard ones
    unsigned restartInterval = 0;  // in MCUs
    bool jfif = true;
    bool adobe = false;
    std::vector<Marker> markers;  // after the JFIF and Adobe segments, in order
    Bytes trailing;               // after the end of image
    std::vector<CoefficientEdit> edits;
    // Rows from the top, each pixel's components together; empty for the maker's own picture.
    Bytes pixels;
};

Bytes WriteJpeg(const JpegRecipe& recipe);

// One component's coefficients as libjpeg reads them: the blocks that cover the picture, rows
// from the top, 64 coefficients a block in natural order.
struct ReadPlane {
    std::uint32_t widthInBlocks = 0;
    std::uint32_t heightInBlocks = 0;
    std::vector<std::int16_t> values;
};
// Throws when libjpeg refuses the file or warns about it.
std::vector<ReadPlane> ReadCoefficients(const Bytes& jpeg);

struct RawSegment {
    std::uint8_t marker = 0;
    std::size_t offset = 0;  // of its 0xFF
    std::size_t size = 0;    // marker included; an SOS segment without its scan data
};
struct ByteRange {
    std::size_t offset = 0;
    std::size_t size = 0;
};
struct JpegParts {
    std::vector<RawSegment> segments;  // from the start to the end of image
    std::vector<ByteRange> scanData;   // the entropy-coded data of each scan
};
// Throws on a file it cannot walk.
JpegParts SplitJpeg(const Bytes& jpeg);
// Every byte outside the entropy-coded data, in order.
Bytes OutsideScanData(const Bytes& jpeg);
// A whole segment: 0xFF, the marker, the length and the payload.
Bytes Segment(std::uint8_t marker, const Bytes& payload);

}  // namespace velquist::jpeg::testing
