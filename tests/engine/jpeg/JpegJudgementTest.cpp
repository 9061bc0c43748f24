// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "engine/jpeg/JpegCodec.h"
#include "support/JpegMaker.h"

namespace velquist::jpeg {
namespace {

using namespace velquist::jpeg::testing;

// h, v, blocks wide, blocks high.
using Geometry = std::array<int, 4>;

struct Accepted {
    const char* name;
    Bytes file;
    int frameType;
    bool progressive;
    bool arithmetic;
    int restartInterval;
    std::vector<Geometry> components;
    bool jfif;
    bool adobe;
    int quality;
    bool mostlyOne;
    std::size_t trailing = 0;
};

struct Refused {
    const char* name;
    Bytes file;
    JpegVerdict verdict;
    JpegDamage damage = JpegDamage::None;
    JpegUnsupported unsupported = JpegUnsupported::None;
};

Bytes WithByte(Bytes file, std::size_t at, std::uint8_t value) {
    file.at(at) = value;
    return file;
}

Bytes Insert(Bytes file, std::size_t at, const Bytes& bytes) {
    file.insert(file.begin() + static_cast<long>(at), bytes.begin(), bytes.end());
    return file;
}

Bytes Remove(Bytes file, std::size_t at, std::size_t size) {
    file.erase(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + size));
    return file;
}

// The nth segment (from 0) with the marker.
RawSegment Nth(const Bytes& file, std::uint8_t marker, int nth = 0) {
    for (const RawSegment& s : SplitJpeg(file).segments)
        if (s.marker == marker && nth-- == 0) return s;
    throw std::invalid_argument("no such segment");
}

Bytes RemoveEvery(Bytes file, std::uint8_t marker) {
    for (;;) {
        auto segments = SplitJpeg(file).segments;
        auto found = std::find_if(segments.begin(), segments.end(), [&](const RawSegment& s) { return s.marker == marker; });
        if (found == segments.end()) return file;
        file = Remove(file, found->offset, found->size);
    }
}

// The second DHT segment that defines AC table 1: without it the scan after it is coded with
// the table of the scan before.
Bytes WithoutSecondChromaAcTable(const Bytes& file) {
    int seen = 0;
    for (const RawSegment& s : SplitJpeg(file).segments)
        if (s.marker == 0xC4 && file[s.offset + 4] == 0x11 && ++seen == 2) return Remove(file, s.offset, s.size);
    throw std::invalid_argument("no second chroma AC table");
}

Bytes RemoveScan(const Bytes& file, int nth) {
    JpegParts parts = SplitJpeg(file);
    RawSegment sos = Nth(file, 0xDA, nth);
    const ByteRange& data = parts.scanData.at(static_cast<std::size_t>(nth));
    return Remove(file, sos.offset, data.offset + data.size - sos.offset);
}

std::size_t FrameAt(const Bytes& file) {
    for (const RawSegment& s : SplitJpeg(file).segments)
        if (s.marker >= 0xC0 && s.marker <= 0xCF && s.marker != 0xC4 && s.marker != 0xC8 && s.marker != 0xCC)
            return s.offset;
    throw std::invalid_argument("no frame");
}

Bytes WithSize(Bytes file, std::uint16_t width, std::uint16_t height) {
    std::size_t at = FrameAt(file);
    file = WithByte(file, at + 5, static_cast<std::uint8_t>(height >> 8));
    file = WithByte(file, at + 6, static_cast<std::uint8_t>(height));
    file = WithByte(file, at + 7, static_cast<std::uint8_t>(width >> 8));
    return WithByte(file, at + 8, static_cast<std::uint8_t>(width));
}

// The scan data's middle bytes: a third cut out, or all ones (a code no table has).
Bytes CutScan(const Bytes& file) {
    ByteRange data = SplitJpeg(file).scanData.at(0);
    return Remove(file, data.offset + data.size / 3, data.size / 3);
}

Bytes OnesInScan(Bytes file) {
    ByteRange data = SplitJpeg(file).scanData.at(0);
    for (std::size_t i = 0; i < 8; i += 2) {
        file.at(data.offset + data.size / 2 + i) = 0xFF;
        file.at(data.offset + data.size / 2 + i + 1) = 0x00;
    }
    return file;
}

// The first restart marker in the scan data made RST3.
Bytes RestartOutOfTurn(Bytes file) {
    ByteRange data = SplitJpeg(file).scanData.at(0);
    for (std::size_t i = data.offset; i + 1 < data.offset + data.size; ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xD0) return WithByte(file, i + 1, 0xD3);
    throw std::invalid_argument("no restart marker");
}

JpegRecipe Colour(Sampling sampling) {
    JpegRecipe r;
    r.sampling = sampling;
    return r;
}

JpegRecipe With(JpegRecipe r, void (*change)(JpegRecipe&)) {
    change(r);
    return r;
}

std::vector<Accepted> AcceptedPictures() {
    JpegRecipe grey;
    grey.components = 1;
    JpegRecipe described;
    described.markers = {ExifMarker(), IccMarker(), XmpMarker(), CommentMarker("a comment")};
    described.trailing = {0xFF, 0xD8, 0xFF, 0xD9, 'x'};
    JpegRecipe bare;
    bare.jfif = false;
    bare.adobe = true;
    Bytes baseline = WriteJpeg({});
    Bytes extended = WithByte(baseline, FrameAt(baseline) + 1, 0xC1);
    Bytes filled = Insert(baseline, Nth(baseline, 0xDA).offset, {0xFF, 0xFF});
    filled = Insert(filled, filled.size() - 2, {0xFF, 0xFF, 0xFF});
    std::vector<Geometry> c420 = {{2, 2, 5, 3}, {1, 1, 3, 2}, {1, 1, 3, 2}};
    std::vector<Geometry> c422 = {{2, 1, 5, 3}, {1, 1, 3, 3}, {1, 1, 3, 3}};
    std::vector<Geometry> c444 = {{1, 1, 5, 3}, {1, 1, 5, 3}, {1, 1, 5, 3}};
    std::vector<Geometry> one = {{1, 1, 5, 3}};
    return {
        {"baseline-4:2:0", baseline, 0, false, false, 0, c420, true, false, 75, false},
        {"baseline-4:2:2", WriteJpeg(Colour(Sampling::S422)), 0, false, false, 0, c422, true, false, 75, false},
        {"baseline-4:4:4", WriteJpeg(Colour(Sampling::S444)), 0, false, false, 0, c444, true, false, 75, false},
        {"grey", WriteJpeg(grey), 0, false, false, 0, one, true, false, 75, false},
        {"extended-sequential", extended, 1, false, false, 0, c420, true, false, 75, false},
        {"progressive", WriteJpeg(With({}, [](JpegRecipe& r) { r.progressive = true; })), 2, true, false, 0, c420, true, false, 75, false},
        {"progressive-grey", WriteJpeg(With(grey, [](JpegRecipe& r) { r.progressive = true; })), 2, true, false, 0, one, true, false, 75, false},
        {"restart-markers", WriteJpeg(With({}, [](JpegRecipe& r) { r.restartInterval = 1; })), 0, false, false, 1, c420, true, false, 75, false},
        {"arithmetic", WriteJpeg(With({}, [](JpegRecipe& r) { r.arithmetic = true; })), 9, false, true, 0, c420, true, false, 75, false},
        {"arithmetic-progressive-restart", WriteJpeg(With({}, [](JpegRecipe& r) { r.arithmetic = r.progressive = true; r.restartInterval = 2; })), 10, true, true, 2, c420, true, false, 75, false},
        {"optimised-tables", WriteJpeg(With({}, [](JpegRecipe& r) { r.optimise = true; })), 0, false, false, 0, c420, true, false, 75, false},
        {"a-scan-per-component", WriteJpeg(With({}, [](JpegRecipe& r) { r.interleaved = false; r.optimise = true; })), 0, false, false, 0, c420, true, false, 75, false},
        {"exif-icc-xmp-comment-trailer", WriteJpeg(described), 0, false, false, 0, c420, true, false, 75, false, 5},
        {"adobe-without-jfif", WriteJpeg(bare), 0, false, false, 0, c420, false, true, 75, false},
        {"fill-bytes", filled, 0, false, false, 0, c420, true, false, 75, false},
        {"one-pixel", WriteJpeg(With({}, [](JpegRecipe& r) { r.width = r.height = 1; })), 0, false, false, 0, {{2, 2, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}}, true, false, 75, false},
        {"quality-95", WriteJpeg(With({}, [](JpegRecipe& r) { r.quality = 95; })), 0, false, false, 0, c420, true, false, 95, false},
        {"quality-97", WriteJpeg(With({}, [](JpegRecipe& r) { r.quality = 97; })), 0, false, false, 0, c420, true, false, 97, false},
        {"quality-98", WriteJpeg(With({}, [](JpegRecipe& r) { r.quality = 98; })), 0, false, false, 0, c420, true, false, 98, true},
        {"quality-100", WriteJpeg(With({}, [](JpegRecipe& r) { r.quality = 100; })), 0, false, false, 0, c420, true, false, 100, true},
        {"quality-20", WriteJpeg(With({}, [](JpegRecipe& r) { r.quality = 20; })), 0, false, false, 0, c420, true, false, 20, false},
    };
}

TEST(JpegJudgement, EveryCarrierKindIsUsableWithItsFields) {
    for (const Accepted& a : AcceptedPictures()) {
        SCOPED_TRACE(a.name);
        JpegLayout layout = ParseJpeg(a.file);
        ASSERT_EQ(layout.verdict, JpegVerdict::Usable) << static_cast<int>(layout.damage) << " "
                                                       << static_cast<int>(layout.unsupported);
        EXPECT_EQ(layout.width, a.name == std::string("one-pixel") ? 1u : 33u);
        EXPECT_EQ(layout.precision, 8);
        EXPECT_EQ(layout.frameType, a.frameType);
        EXPECT_EQ(layout.progressive, a.progressive);
        EXPECT_EQ(layout.arithmetic, a.arithmetic);
        EXPECT_EQ(layout.restartInterval, a.restartInterval);
        ASSERT_EQ(layout.components.size(), a.components.size());
        for (std::size_t i = 0; i < a.components.size(); ++i) {
            const JpegComponent& c = layout.components[i];
            EXPECT_EQ((Geometry{c.h, c.v, static_cast<int>(c.widthInBlocks), static_cast<int>(c.heightInBlocks)}),
                      a.components[i]) << i;
        }
        EXPECT_EQ(layout.hasJfif, a.jfif);
        EXPECT_EQ(layout.hasAdobe, a.adobe);
        EXPECT_EQ(layout.quality, a.quality);
        EXPECT_EQ(layout.luminanceStepsMostlyOne, a.mostlyOne);
        EXPECT_EQ(layout.imageEnd, a.file.size() - a.trailing);
        // The segments and scans are those of the file, in order.
        JpegParts parts = SplitJpeg(a.file);
        ASSERT_EQ(layout.segments.size(), parts.segments.size());
        for (std::size_t i = 0; i < parts.segments.size(); ++i) {
            EXPECT_EQ(layout.segments[i].marker, parts.segments[i].marker) << i;
            EXPECT_EQ(layout.segments[i].offset, parts.segments[i].offset) << i;
            EXPECT_EQ(layout.segments[i].size, parts.segments[i].size) << i;
        }
        ASSERT_EQ(layout.scans.size(), parts.scanData.size());
        for (std::size_t i = 0; i < parts.scanData.size(); ++i) {
            EXPECT_EQ(layout.scans[i].dataOffset, parts.scanData[i].offset) << i;
            EXPECT_EQ(layout.scans[i].dataSize, parts.scanData[i].size) << i;
        }
    }
}

// The steps as the DQT segment of a quality-50 picture holds them: the standard table itself.
TEST(JpegJudgement, StepsAreInNaturalOrder) {
    JpegLayout layout = ParseJpeg(WriteJpeg(With({}, [](JpegRecipe& r) { r.quality = 50; })));
    ASSERT_TRUE(layout.usable());
    const auto& steps = layout.components[0].steps;
    EXPECT_EQ(steps[0], 16);
    EXPECT_EQ(steps[1], 11);   // row 0, column 1
    EXPECT_EQ(steps[8], 12);   // row 1, column 0
    EXPECT_EQ(steps[7], 61);   // row 0, column 7
    EXPECT_EQ(steps[56], 72);  // row 7, column 0
    EXPECT_EQ(steps[63], 99);
    EXPECT_EQ(layout.components[1].steps[1], 18);  // the chrominance table's
}

std::vector<Refused> RefusedPictures() {
    using V = JpegVerdict;
    using D = JpegDamage;
    using U = JpegUnsupported;
    Bytes good = WriteJpeg(With({}, [](JpegRecipe& r) { r.markers = {CommentMarker("note")}; }));
    JpegRecipe progressiveRecipe;
    progressiveRecipe.progressive = true;
    Bytes progressive = WriteJpeg(progressiveRecipe);
    JpegRecipe restarts;
    restarts.restartInterval = 1;
    JpegRecipe outOfRange;
    outOfRange.arithmetic = true;
    outOfRange.edits = {{0, 0, 1, 1, 2000}};
    std::size_t frame = FrameAt(good);
    RawSegment comment = Nth(good, 0xFE);
    RawSegment sof = Nth(good, 0xC0);
    Bytes sofBytes(good.begin() + static_cast<long>(sof.offset), good.begin() + static_cast<long>(sof.offset + sof.size));
    Bytes end = {0xFF, 0xD9};
    Bytes headerOnly(good.begin(), good.begin() + static_cast<long>(Nth(good, 0xDA).offset));
    RawSegment dqt = Nth(good, 0xDB);
    RawSegment dht = Nth(good, 0xC4);
    return {
        {"lossless", WithByte(good, frame + 1, 0xC3), V::Unsupported, D::None, U::Lossless},
        {"lossless-arithmetic", WithByte(good, frame + 1, 0xCB), V::Unsupported, D::None, U::Lossless},
        {"hierarchical-frame", WithByte(good, frame + 1, 0xC5), V::Unsupported, D::None, U::Hierarchical},
        {"hierarchical-dhp", Insert(good, frame, Segment(0xDE, {8, 0, 17, 0, 33, 1, 1, 0x11, 0})), V::Unsupported, D::None, U::Hierarchical},
        {"12-bit", WithByte(good, frame + 4, 12), V::Unsupported, D::None, U::Precision},
        {"two-components", WriteJpeg(With({}, [](JpegRecipe& r) { r.components = 2; })), V::Unsupported, D::None, U::ComponentCount},
        {"cmyk", WriteJpeg(With({}, [](JpegRecipe& r) { r.components = 4; })), V::Unsupported, D::None, U::ComponentCount},
        {"two-frames", Insert(good, good.size() - 2, sofBytes), V::Unsupported, D::None, U::SeveralFrames},
        {"side-past-65500", WithSize(good, 65535, 17), V::Unsupported, D::None, U::TooLarge},
        {"past-2^28-pixels", WithSize(good, 16385, 16385), V::Unsupported, D::None, U::TooLarge},
        {"progressive-stopping-short", RemoveScan(progressive, 9), V::Unsupported, D::None, U::PartialScript},
        {"progressive-scans-sharing-a-table", WithoutSecondChromaAcTable(progressive), V::Unsupported, D::None, U::SharedTables},
        {"empty", {}, V::Damaged, D::NotJpeg},
        {"no-start-of-image", Remove(good, 0, 2), V::Damaged, D::NotJpeg},
        {"byte-between-segments", Insert(good, comment.offset, {0x00}), V::Damaged, D::BadMarker},
        {"reserved-marker", Insert(good, comment.offset, Segment(0x02, {1})), V::Damaged, D::BadMarker},
        {"jpg-marker", Insert(good, comment.offset, Segment(0xC8, {1})), V::Damaged, D::BadMarker},
        {"second-start-of-image", Insert(good, comment.offset, {0xFF, 0xD8}), V::Damaged, D::BadMarker},
        {"segment-past-end", WithByte(good, comment.offset + 2, 0xFF), V::Damaged, D::SegmentPastEnd},
        {"segment-length-1", WithByte(WithByte(good, comment.offset + 2, 0), comment.offset + 3, 1), V::Damaged, D::SegmentPastEnd},
        {"quant-table-precision-2", WithByte(good, dqt.offset + 4, 0x20), V::Damaged, D::BadSegment},
        {"huffman-codes-do-not-fit", WithByte(good, dht.offset + 5, 2), V::Damaged, D::BadSegment},
        {"sampling-factor-5", WithByte(good, frame + 11, 0x51), V::Damaged, D::BadSegment},
        {"width-0", WithSize(good, 0, 17), V::Damaged, D::BadSegment},
        {"restart-segment-too-long", Insert(good, comment.offset, Segment(0xDD, {0, 1, 0})), V::Damaged, D::BadSegment},
        {"scan-of-unknown-component", WithByte(good, Nth(good, 0xDA).offset + 5, 9), V::Damaged, D::BadSegment},
        {"no-frame", Remove(good, sof.offset, sof.size), V::Damaged, D::MissingFrame},
        {"no-scan", Insert(headerOnly, headerOnly.size(), end), V::Damaged, D::MissingScan},
        {"no-end-of-image", Remove(good, good.size() - 2, 2), V::Damaged, D::MissingEnd},
        {"no-huffman-tables", RemoveEvery(good, 0xC4), V::Damaged, D::MissingTable},
        {"no-quantisation-tables", RemoveEvery(good, 0xDB), V::Damaged, D::MissingTable},
        {"sequential-scan-band", WithByte(good, Nth(good, 0xDA).offset + 12, 62), V::Damaged, D::ScanScript},
        {"progressive-without-dc-scan", RemoveScan(progressive, 0), V::Damaged, D::ScanScript},
        {"huffman-data-too-short", WithSize(good, 2000, 2000), V::Damaged, D::DataTooShort},
        {"scan-cut-short", CutScan(good), V::Damaged, D::ScanData},
        {"code-that-does-not-decode", OnesInScan(good), V::Damaged, D::ScanData},
        {"restart-marker-out-of-turn", RestartOutOfTurn(WriteJpeg(restarts)), V::Damaged, D::ScanData},
        {"coefficient-out-of-range", WriteJpeg(outOfRange), V::Damaged, D::CoefficientRange},
    };
}

TEST(JpegJudgement, EachRefusedPictureGetsItsExactVerdict) {
    for (const Refused& r : RefusedPictures()) {
        SCOPED_TRACE(r.name);
        DecodedJpeg decoded = DecodeJpeg(r.file);
        EXPECT_EQ(decoded.layout.verdict, r.verdict);
        EXPECT_EQ(decoded.layout.damage, r.damage);
        EXPECT_EQ(decoded.layout.unsupported, r.unsupported);
        EXPECT_TRUE(decoded.coefficients.values.empty());
        // Only decoding finds faults in the scan data and the coefficients.
        bool foundDecoding = r.damage == JpegDamage::ScanData || r.damage == JpegDamage::CoefficientRange;
        EXPECT_EQ(ParseJpeg(r.file).verdict, foundDecoding ? JpegVerdict::Usable : r.verdict);
    }
}

// Cut at every length, a picture is damaged: before its start, inside a segment, or anywhere
// else short of the end of image.
TEST(JpegJudgement, TruncatedAtEveryLengthIsDamaged) {
    JpegRecipe recipe;
    recipe.restartInterval = 2;
    recipe.markers = {CommentMarker("note")};
    Bytes full = WriteJpeg(recipe);
    std::vector<RawSegment> segments = SplitJpeg(full).segments;
    for (std::size_t length = 0; length < full.size(); ++length) {
        Bytes cut(full.begin(), full.begin() + static_cast<long>(length));
        JpegDamage expected = length < 2 ? JpegDamage::NotJpeg : JpegDamage::MissingEnd;
        for (const RawSegment& s : segments)
            if (s.size > 2 && length >= s.offset + 2 && length < s.offset + s.size) expected = JpegDamage::SegmentPastEnd;
        DecodedJpeg decoded = DecodeJpeg(cut);
        ASSERT_EQ(decoded.layout.verdict, JpegVerdict::Damaged) << length;
        ASSERT_EQ(decoded.layout.damage, expected) << length;
    }
}

}  // namespace
}  // namespace velquist::jpeg
