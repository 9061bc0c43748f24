// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velquist::jpeg {

enum class JpegVerdict {
    Usable,
    Damaged,
    Unsupported,
};

// Why a JPEG is damaged: the first fault met, the marker walk's before the decoder's.
enum class JpegDamage {
    None,
    NotJpeg,          // does not start with the start-of-image marker
    BadMarker,        // no marker where one must stand, a reserved or unknown marker, a second
                      // start of image, or a byte stuffed outside a scan
    SegmentPastEnd,   // a segment's length below 2 or past the end of the file
    BadSegment,       // a frame, scan, table or restart segment whose contents do not add up,
                      // a Huffman table whose codes do not fit, a sampling factor past 4
    MissingFrame,     // a scan before the frame header
    MissingScan,      // the end of the image before any scan
    MissingEnd,       // the file ends before the end-of-image marker, a scan cut short included
    MissingTable,     // a scan uses a Huffman or quantisation table that was never defined
    ScanScript,       // scans that do not code each component once (sequential) or in a
                      // consistent progression, or that a sequential frame cannot hold
    DataTooShort,     // less Huffman-coded data than a bit for every block it must hold
    ScanData,         // found decoding: a scan cut short, a code that does not decode, a
                      // restart marker out of turn
    CoefficientRange, // found decoding: a coefficient no picture of 8-bit samples has
};

// Why a sound JPEG cannot carry: the first rule that applies, in this order.
enum class JpegUnsupported {
    None,
    Lossless,       // SOF3, SOF11
    Hierarchical,   // SOF5-7, SOF13-15, or a DHP segment
    Precision,      // samples of other than 8 bits
    ComponentCount, // other than 1 (grey) or 3 (colour) components
    SeveralFrames,  // a second frame header
    TooLarge,       // more than 2^28 pixels, or a side past 65,500
    PartialScript,  // a progressive script that leaves some coefficient's lowest bits unsent: a
                    // change there would be lost
    SharedTables,   // a Huffman table serves several scans that new values could each need a
                    // table of their own for, and the file has one place for it
};

// One marker segment by the position of its whole bytes, marker included; a marker without a
// length (start and end of image, a restart marker between segments) has size 2. Fill bytes
// before a marker belong to no segment.
struct JpegSegment {
    std::uint8_t marker = 0;  // the byte after 0xFF
    std::size_t offset = 0;
    std::size_t size = 0;

    std::size_t end() const { return offset + size; }
};

// One Huffman table as a DHT segment defines it.
struct JpegHuffmanTable {
    std::uint8_t tableClass = 0;  // 0 DC, 1 AC
    std::uint8_t slot = 0;        // 0 to 3
    std::size_t segment = 0;      // index in JpegLayout::segments
    std::array<std::uint8_t, 16> counts{};  // codes of each length, 1 to 16 bits
    std::vector<std::uint8_t> symbols;

    bool operator==(const JpegHuffmanTable&) const = default;
    // Whether the table has a code for each of `symbols`.
    bool Codes(std::span<const std::uint8_t> symbols) const;
    // Whether it has one for every symbol the Huffman-coded scans of a picture of 8-bit samples
    // can need (DC sizes 0 to 11; AC end of block, a run of 16 zeros, and runs 0 to 15 before
    // sizes 1 to 10), as the standard tables do.
    bool CodesEverySymbol() const;
};

struct JpegComponent {
    std::uint8_t id = 0;
    std::uint8_t h = 1;  // sampling factors, 1 to 4
    std::uint8_t v = 1;
    std::uint8_t quantSlot = 0;
    // The quantisation steps in force when the component's first scan starts, in natural order
    // (row v, column u at 8v + u).
    std::array<std::uint16_t, 64> steps{};
    // The blocks that cover the picture: ceil(ceil(W h / h_max) / 8) by ceil(ceil(H v / v_max) / 8).
    std::uint32_t widthInBlocks = 0;
    std::uint32_t heightInBlocks = 0;

    std::uint64_t blockCount() const { return std::uint64_t{widthInBlocks} * heightInBlocks; }
};

// A component as one scan codes it, with the tables in force when the scan starts.
struct JpegScanComponent {
    std::uint8_t component = 0;  // index in JpegLayout::components
    std::uint8_t dcSlot = 0;
    std::uint8_t acSlot = 0;
    // Indices in JpegLayout::huffmanTables of the tables the scan codes the component with,
    // -1 where it codes none of that class (or codes arithmetically).
    int dcTable = -1;
    int acTable = -1;
    // Arithmetic conditioning in force: DC is L + 16 U, AC is Kx.
    std::uint8_t dcConditioning = 0x10;
    std::uint8_t acConditioning = 5;
};

struct JpegScan {
    std::size_t segment = 0;  // its SOS segment
    // The entropy-coded data after the SOS segment, restart markers included, up to the fill
    // bytes before the next marker.
    std::size_t dataOffset = 0;
    std::size_t dataSize = 0;
    std::vector<JpegScanComponent> components;
    std::uint8_t ss = 0;  // spectral selection start and end
    std::uint8_t se = 63;
    std::uint8_t ah = 0;  // successive approximation, high and low bit
    std::uint8_t al = 0;
    // Which tables the scan codes with: DC and AC in a sequential scan; in a progressive one
    // DC in a first DC scan, AC in any AC scan, none in a DC refinement.
    bool codesDc = false;
    bool codesAc = false;
    std::uint16_t restartInterval = 0;  // in force when the scan starts
};

// What a JPEG file says about itself, read once through bounds checks from its markers alone;
// nothing is entropy-decoded. Fields are filled as far as the walk got, whatever the verdict.
struct JpegLayout {
    JpegVerdict verdict = JpegVerdict::Damaged;
    JpegDamage damage = JpegDamage::None;
    JpegUnsupported unsupported = JpegUnsupported::None;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t precision = 0;
    std::uint8_t frameType = 0;  // n of the first frame's SOFn marker
    bool progressive = false;
    bool arithmetic = false;
    // The first scan's, in MCUs; 0 without restart markers.
    std::uint16_t restartInterval = 0;
    std::vector<JpegComponent> components;
    bool hasJfif = false;   // an APP0 segment starting "JFIF\0"
    bool hasAdobe = false;  // an APP14 segment starting "Adobe"
    // Every segment read, in file order; for a usable file every segment from the start to
    // the end of image.
    std::vector<JpegSegment> segments;
    std::vector<JpegScan> scans;
    std::vector<JpegHuffmanTable> huffmanTables;  // in file order
    std::size_t frameSegment = 0;
    // Where the end-of-image marker ends: data after it (a second picture, a trailer) is
    // neither read nor changed.
    std::size_t imageEnd = 0;
    // Of a usable file (0 otherwise): the quality 1 to 100 whose standard luminance table,
    // scaled as the common encoder scales it, lies nearest to the first component's steps; and
    // whether at least a third of those steps are 1, as from quality 98 up, where a change of
    // one shows against the pixels the coefficients decode to.
    int quality = 0;
    bool luminanceStepsMostlyOne = false;

    bool usable() const { return verdict == JpegVerdict::Usable; }
    std::uint64_t pixelCount() const { return std::uint64_t{width} * height; }
};

inline constexpr std::uint64_t kMaxJpegPixels = std::uint64_t{1} << 28;
inline constexpr std::uint32_t kMaxJpegSide = 65500;

// Judges `file` as a carrier from its marker segments: syntax and table structure first
// (damaged), then the kind of picture and its size (unsupported), then how scans, tables and
// frame fit together and whether the Huffman data could hold the blocks (damaged), and last
// whether every coefficient is sent whole and a rewrite could keep the tables in their places
// (unsupported). APPn and COM segments and unknown contents of known ones are neither judged
// nor changed. Cheap: reads the scan data only to find where it ends.
JpegLayout ParseJpeg(std::span<const std::uint8_t> file);

}  // namespace velquist::jpeg
