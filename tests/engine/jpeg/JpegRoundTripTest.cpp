// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "engine/jpeg/JpegCodec.h"
#include "support/JpegMaker.h"

namespace velquist::jpeg {
namespace {

using namespace velquist::jpeg::testing;

// How much of the file outside the scan data a rewrite may change.
enum class Kept {
    Everything,       // the tables can code the new values, or there are none
    AllButTables,     // DHT segments may get new contents; their places and all else stay
};

struct Kind {
    const char* name;
    JpegRecipe recipe;
    Kept kept;
};

JpegRecipe Larger(JpegRecipe r) {
    r.width = 97;
    r.height = 61;
    return r;
}

std::vector<Kind> Kinds() {
    auto make = [](void (*change)(JpegRecipe&)) {
        JpegRecipe r = Larger({});
        change(r);
        return r;
    };
    return {
        {"baseline-4:2:0", make([](JpegRecipe&) {}), Kept::Everything},
        {"baseline-4:2:2", make([](JpegRecipe& r) { r.sampling = Sampling::S422; }), Kept::Everything},
        {"baseline-4:4:4-quality-95", make([](JpegRecipe& r) { r.sampling = Sampling::S444; r.quality = 95; }), Kept::Everything},
        {"grey-quality-100", make([](JpegRecipe& r) { r.components = 1; r.quality = 100; }), Kept::Everything},
        {"restart-markers", make([](JpegRecipe& r) { r.restartInterval = 3; }), Kept::Everything},
        {"arithmetic", make([](JpegRecipe& r) { r.arithmetic = true; }), Kept::Everything},
        {"arithmetic-progressive", make([](JpegRecipe& r) { r.arithmetic = r.progressive = true; r.restartInterval = 2; }), Kept::Everything},
        {"progressive", make([](JpegRecipe& r) { r.progressive = true; }), Kept::AllButTables},
        {"progressive-grey-restart", make([](JpegRecipe& r) { r.progressive = true; r.components = 1; r.restartInterval = 5; }), Kept::AllButTables},
        {"optimised", make([](JpegRecipe& r) { r.optimise = true; }), Kept::AllButTables},
        {"optimised-scan-per-component", make([](JpegRecipe& r) { r.optimise = true; r.interleaved = false; }), Kept::AllButTables},
        {"markers-trailer-no-jfif", make([](JpegRecipe& r) {
             r.jfif = false;
             r.adobe = true;
             r.markers = {ExifMarker(), IccMarker(), XmpMarker(), CommentMarker("kept")};
             r.trailing = {0xFF, 0xD8, 0xFF, 0xD9, 1, 2, 3};
         }), Kept::Everything},
        {"odd-size-33x17", [] { JpegRecipe r; r.width = 33; r.height = 17; return r; }(), Kept::Everything},
    };
}

std::vector<std::int16_t> Flatten(const std::vector<ReadPlane>& planes) {
    std::vector<std::int16_t> all;
    for (const ReadPlane& p : planes) all.insert(all.end(), p.values.begin(), p.values.end());
    return all;
}

// The file's bytes outside the scan data, with every DHT segment's contents left out.
Bytes OutsideScansAndTables(const Bytes& file) {
    Bytes outside;
    JpegParts parts = SplitJpeg(file);
    std::size_t at = 0;
    auto skip = [&](std::size_t from, std::size_t to) {
        outside.insert(outside.end(), file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(from));
        at = to;
    };
    std::size_t scan = 0;
    for (const RawSegment& s : parts.segments) {
        if (s.marker == 0xC4) skip(s.offset + 2, s.offset + s.size);
        if (s.marker == 0xDA) {
            const ByteRange& data = parts.scanData[scan++];
            skip(data.offset, data.offset + data.size);
        }
    }
    skip(file.size(), file.size());
    return outside;
}

std::vector<std::uint8_t> Markers(const Bytes& file) {
    std::vector<std::uint8_t> markers;
    for (const RawSegment& s : SplitJpeg(file).segments) markers.push_back(s.marker);
    return markers;
}

// Changes `count` coefficients spread over every plane by one, as a hide does: zeros to +1 or
// -1, values at the range's ends inward.
void ChangeByOne(JpegCoefficients& c, int count) {
    std::uint32_t state = 2463534242u;
    for (int i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::int16_t& v = c.values[state % c.values.size()];
        bool up = (state >> 8) % 2 == 0;
        if (v >= 1023) up = false;
        if (v <= -1023) up = true;
        v = static_cast<std::int16_t>(v + (up ? 1 : -1));
    }
}

TEST(JpegRoundTrip, DecodesTheCoefficientsLibjpegReads) {
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        Bytes file = WriteJpeg(kind.recipe);
        DecodedJpeg decoded = DecodeJpeg(file);
        ASSERT_TRUE(decoded.layout.usable());
        std::vector<ReadPlane> planes = ReadCoefficients(file);
        ASSERT_EQ(decoded.coefficients.planes.size(), planes.size());
        std::uint64_t nonZeroAc = 0;
        for (std::size_t i = 0; i < planes.size(); ++i) {
            const JpegPlane& plane = decoded.coefficients.planes[i];
            EXPECT_EQ(plane.widthInBlocks, planes[i].widthInBlocks);
            EXPECT_EQ(plane.heightInBlocks, planes[i].heightInBlocks);
            for (std::size_t at = 0; at < planes[i].values.size(); ++at)
                nonZeroAc += at % 64 != 0 && planes[i].values[at] != 0 ? 1 : 0;
        }
        EXPECT_EQ(decoded.coefficients.values, Flatten(planes));
        EXPECT_EQ(decoded.coefficients.CountNonZeroAc(), nonZeroAc);
        EXPECT_GT(nonZeroAc, 100u);
    }
}

TEST(JpegRoundTrip, UnchangedRewriteIsByteForByteTheSame) {
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        Bytes file = WriteJpeg(kind.recipe);
        DecodedJpeg decoded = DecodeJpeg(file);
        ASSERT_TRUE(decoded.layout.usable());
        EXPECT_EQ(EncodeJpeg(file, decoded.layout, decoded.coefficients), file);
    }
}

TEST(JpegRoundTrip, ChangedCoefficientsComeBackAndTheRestStays) {
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        Bytes file = WriteJpeg(kind.recipe);
        DecodedJpeg decoded = DecodeJpeg(file);
        ASSERT_TRUE(decoded.layout.usable());
        JpegCoefficients changed = decoded.coefficients;
        ChangeByOne(changed, 300);
        ASSERT_NE(changed.values, decoded.coefficients.values);
        Bytes rewritten = EncodeJpeg(file, decoded.layout, changed);
        EXPECT_EQ(Flatten(ReadCoefficients(rewritten)), changed.values);
        EXPECT_EQ(Markers(rewritten), Markers(file));
        if (kind.kept == Kept::Everything) {
            EXPECT_EQ(OutsideScanData(rewritten), OutsideScanData(file));
        }
        EXPECT_EQ(OutsideScansAndTables(rewritten), OutsideScansAndTables(file));
        JpegLayout again = ParseJpeg(rewritten);
        EXPECT_TRUE(again.usable());
        EXPECT_EQ(again.restartInterval, decoded.layout.restartInterval);
        EXPECT_EQ(again.progressive, decoded.layout.progressive);
        EXPECT_EQ(again.arithmetic, decoded.layout.arithmetic);
    }
}

// A picture with coefficients at the ends of the range, moved inward.
TEST(JpegRoundTrip, ValuesAtTheRangeEndsMoveInward) {
    for (bool arithmetic : {false, true}) {
        JpegRecipe recipe = Larger({});
        recipe.quality = 100;
        recipe.arithmetic = arithmetic;
        recipe.edits = {{0, 0, 0, 1, 1023}, {0, 0, 1, 9, -1023}, {0, 1, 0, 0, -1024}, {1, 0, 0, 63, 1023}};
        Bytes file = WriteJpeg(recipe);
        DecodedJpeg decoded = DecodeJpeg(file);
        ASSERT_TRUE(decoded.layout.usable()) << arithmetic;
        JpegCoefficients changed = decoded.coefficients;
        const JpegPlane& luma = changed.planes[0];
        const JpegPlane& cb = changed.planes[1];
        ASSERT_EQ(changed.values[luma.IndexOf(0, 0, 1)], 1023);
        changed.values[luma.IndexOf(0, 0, 1)] = 1022;
        changed.values[luma.IndexOf(0, 1, 9)] = -1022;
        changed.values[luma.IndexOf(1, 0, 0)] = -1023;
        changed.values[cb.IndexOf(0, 0, 63)] = 1022;
        Bytes rewritten = EncodeJpeg(file, decoded.layout, changed);
        EXPECT_EQ(Flatten(ReadCoefficients(rewritten)), changed.values) << arithmetic;
        EXPECT_EQ(OutsideScanData(rewritten), OutsideScanData(file)) << arithmetic;
    }
}

// An optimised table keeps its place and contents while it can code the new values (a 2 for a
// 3 codes alike), and gets contents made for them when it cannot (a size no block had).
TEST(JpegRoundTrip, OptimisedTablesChangeOnlyWhenTheyCannotCode) {
    for (bool interleaved : {true, false}) {
        JpegRecipe recipe = Larger({});
        recipe.optimise = true;
        recipe.interleaved = interleaved;
        Bytes file = WriteJpeg(recipe);
        DecodedJpeg decoded = DecodeJpeg(file);
        ASSERT_TRUE(decoded.layout.usable());
        JpegCoefficients alike = decoded.coefficients;
        int flipped = 0;
        for (std::size_t i = 0; i < alike.values.size(); ++i) {
            std::int16_t& v = alike.values[i];
            if (i % 64 != 0 && std::abs(v) >= 2 && std::abs(v) <= 7) {
                // 2 and 3, 4 and 5, 6 and 7 swap magnitudes: sizes stay.
                v = static_cast<std::int16_t>(v < 0 ? -(-v ^ 1) : v ^ 1);
                ++flipped;
            }
            // A 2 right after the DC coefficient becomes a 1: a symbol every such table has.
            if (i % 64 == 1 && std::abs(v) == 2) v = static_cast<std::int16_t>(v / 2);
        }
        ASSERT_GT(flipped, 50);
        Bytes kept = EncodeJpeg(file, decoded.layout, alike);
        EXPECT_EQ(Flatten(ReadCoefficients(kept)), alike.values) << interleaved;
        EXPECT_EQ(OutsideScanData(kept), OutsideScanData(file)) << interleaved;

        JpegCoefficients wider = decoded.coefficients;
        wider.values[wider.planes[0].IndexOf(1, 1, 5)] = 1000;
        Bytes grown = EncodeJpeg(file, decoded.layout, wider);
        EXPECT_EQ(Flatten(ReadCoefficients(grown)), wider.values) << interleaved;
        EXPECT_NE(OutsideScanData(grown), OutsideScanData(file)) << interleaved;
        EXPECT_EQ(OutsideScansAndTables(grown), OutsideScansAndTables(file)) << interleaved;
    }
}

TEST(JpegRoundTrip, RefusesCoefficientsThatDoNotFit) {
    Bytes file = WriteJpeg({});
    DecodedJpeg decoded = DecodeJpeg(file);
    ASSERT_TRUE(decoded.layout.usable());
    auto refuses = [&](const JpegLayout& layout, const JpegCoefficients& c) {
        EXPECT_THROW(EncodeJpeg(file, layout, c), std::invalid_argument);
    };
    JpegCoefficients tooLarge = decoded.coefficients;
    tooLarge.values[5] = 1024;
    refuses(decoded.layout, tooLarge);
    JpegCoefficients dcTooLow = decoded.coefficients;
    dcTooLow.values[64] = -1025;
    refuses(decoded.layout, dcTooLow);
    JpegCoefficients short_ = decoded.coefficients;
    short_.values.pop_back();
    refuses(decoded.layout, short_);
    JpegCoefficients otherGeometry = decoded.coefficients;
    std::swap(otherGeometry.planes[0].widthInBlocks, otherGeometry.planes[0].heightInBlocks);
    refuses(decoded.layout, otherGeometry);
    JpegLayout unusable = decoded.layout;
    unusable.verdict = JpegVerdict::Damaged;
    refuses(unusable, decoded.coefficients);
    Bytes cut(file.begin(), file.end() - 1);
    EXPECT_THROW(EncodeJpeg(cut, decoded.layout, decoded.coefficients), std::invalid_argument);
}

}  // namespace
}  // namespace velquist::jpeg
