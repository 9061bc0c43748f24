// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <cstdlib>

#include "support/PngMaker.h"
#include "engine/png/PngCodec.h"

namespace velquist::png {
namespace {

using namespace velquist::png::testing;
using namespace std::string_view_literals;

struct Kind {
    const char* name;
    PngRecipe recipe;
    Bytes before;   // chunks put before the image data
    Bytes after;    // chunks put after it
    Bytes dropped;  // unknown chunks not safe to copy, put just before the image data
};

std::vector<Kind> AcceptedKinds() {
    Bytes profile = Join({Text("sRGB profile"), {0, 0}, Zlib(Bytes(300, 7))});
    // gAMA, iCCP and tIME are not safe to copy, but known: they stay.
    Bytes described = Join({Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("iCCP", profile),
                           Chunk("tEXt", Text("Comment\0made in a test"sv)),
                           Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}),
                           Chunk("vpAg", Text("unknown, safe to copy"))});
    Bytes trailing = Join({Chunk("tIME", {0x07, 0xE8, 12, 8, 23, 1, 0}), Chunk("prVt", Text("private"))});
    // Offsets into the old image data, as a row-parallel decoder's index holds them.
    Bytes index = Chunk("iDOT", {0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 40});
    Bytes unsafe = Join({index, Chunk("prVT", Text("private, not safe to copy"))});
    return {
        {"rgb", {9, 7, 2}, {}, {}, {}},
        {"rgb-interlaced", {13, 11, 2, 8, true}, {}, {}, {}},
        {"one-column-interlaced", {1, 9, 2, 8, true}, {}, {}, {}},
        {"rgba-with-transparent-pixels", {9, 7, 6}, {}, {}, {}},
        {"rgba-interlaced-in-small-idat-chunks", {17, 12, 6, 8, true, 64}, {}, {}, {}},
        {"rgb-with-profile-text-and-private-chunks", {9, 7, 2, 8, false, 100}, described, trailing, index},
        {"rgba-interlaced-with-chunks", {5, 5, 6, 8, true}, described, trailing, unsafe},
        {"rgb-stored-unfiltered", {40, 30, 2, 8, false, 8192, 0, PNG_FILTER_NONE}, {}, {}, {}},
        {"rgb-level-1-sub", {40, 30, 2, 8, false, 8192, 1, PNG_FILTER_SUB}, {}, {}, index},
        {"rgba-level-4-up-and-paeth", {40, 30, 6, 8, false, 8192, 4, PNG_FILTER_UP | PNG_FILTER_PAETH}, {}, {}, {}},
        {"rgb-interlaced-level-9-in-small-chunks", {40, 30, 2, 8, true, 300, 9}, {}, trailing, {}},
    };
}

// The chunk types in order, a run of IDAT chunks as one.
std::vector<std::string> Outline(const Bytes& png) {
    std::vector<std::string> types;
    for (const RawChunk& c : ListChunks(png))
        if (c.type != "IDAT" || types.empty() || types.back() != "IDAT") types.push_back(c.type);
    return types;
}

// Every chunk's CRC matches its type and data; the IDAT chunks have one length but the last.
void ExpectWellFormed(const Bytes& png) {
    std::vector<std::size_t> imageLengths;
    for (const RawChunk& c : ListChunks(png)) {
        const std::uint8_t* at = png.data() + c.offset;
        const uLong crc = crc32(0, at + 4, static_cast<uInt>(c.size - 8));
        const std::uint8_t* stored = at + c.size - 4;
        EXPECT_EQ(crc, uLong{stored[0]} << 24 | uLong{stored[1]} << 16 | uLong{stored[2]} << 8 | stored[3]) << c.type;
        if (c.type == "IDAT") imageLengths.push_back(c.size - 12);
    }
    ASSERT_FALSE(imageLengths.empty());
    for (std::size_t i = 0; i + 1 < imageLengths.size(); ++i) EXPECT_EQ(imageLengths[i], imageLengths[0]);
    EXPECT_LE(imageLengths.back(), imageLengths[0]);
}

// The level bits of the zlib header: how hard the image data says it was compressed.
int LevelBits(const Bytes& png) {
    for (const RawChunk& c : ListChunks(png))
        if (c.type == "IDAT") return png.at(c.offset + 9) >> 6;
    return -1;
}

// Changes one colour sample of every other carrying pixel by 1, as a hide does.
Bytes ChangeSamples(const PngPixels& pixels) {
    Bytes changed = pixels.samples;
    for (std::size_t p = 0; p < pixels.pixelCount(); p += 2) {
        if (!pixels.Carries(p)) continue;
        std::uint8_t& sample = changed[p * pixels.channels + p % 3];
        sample = sample == 255 ? 254 : sample + 1;
    }
    return changed;
}

TEST(PngRoundTrip, KeepsTheChunksItMayAndDecodesToTheChangedPixels) {
    for (const Kind& kind : AcceptedKinds()) {
        SCOPED_TRACE(kind.name);
        Bytes samples = PatternSamples(kind.recipe);
        Bytes kept = InsertBeforeEnd(InsertBeforeImage(WritePng(kind.recipe, samples), kind.before), kind.after);
        Bytes file = InsertBeforeImage(kept, kind.dropped);

        DecodedPng decoded = DecodePng(file);
        ASSERT_EQ(decoded.layout.verdict, PngVerdict::Usable);
        EXPECT_EQ(decoded.layout.chunks.size(), ListChunks(file).size());
        EXPECT_EQ(decoded.layout.interlaced, kind.recipe.interlaced);
        EXPECT_EQ(decoded.pixels.samples, samples);
        std::size_t pixelCount = std::size_t{kind.recipe.width} * kind.recipe.height;
        bool alpha = kind.recipe.colourType == 6;
        // The pattern makes every fifth pixel, from the first, fully transparent.
        EXPECT_EQ(decoded.pixels.CountCarrying(), alpha ? pixelCount - (pixelCount + 4) / 5 : pixelCount);
        std::vector<bool> mask = decoded.pixels.CarryingMask();
        for (std::size_t p = 0; p < pixelCount; ++p) ASSERT_EQ(mask[p], !alpha || p % 5 != 0) << p;

        PngPixels changed = decoded.pixels;
        changed.samples = ChangeSamples(decoded.pixels);
        ASSERT_NE(changed.samples, samples);
        Bytes encoded = EncodePng(file, decoded.layout, changed);

        EXPECT_EQ(ChunksOtherThanImage(encoded), ChunksOtherThanImage(kept));
        EXPECT_EQ(Outline(encoded), Outline(kept));
        ExpectWellFormed(encoded);
        EXPECT_EQ(LevelBits(encoded), LevelBits(file));
        EXPECT_EQ(ReadPng(encoded).samples, changed.samples);
        DecodedPng again = DecodePng(encoded);
        ASSERT_EQ(again.layout.verdict, PngVerdict::Usable);
        EXPECT_EQ(again.pixels.samples, changed.samples);
    }
}

TEST(PngRoundTrip, RefusesPixelsOrLayoutOfAnotherPicture) {
    PngRecipe recipe{4, 3, 6};
    Bytes file = WritePng(recipe, PatternSamples(recipe));
    DecodedPng decoded = DecodePng(file);
    ASSERT_TRUE(decoded.layout.usable());

    PngPixels shorter = decoded.pixels;
    shorter.samples.pop_back();
    EXPECT_THROW(EncodePng(file, decoded.layout, shorter), std::invalid_argument);
    PngPixels withoutAlpha = decoded.pixels;
    withoutAlpha.channels = 3;
    EXPECT_THROW(EncodePng(file, decoded.layout, withoutAlpha), std::invalid_argument);
    Bytes longer = file;
    longer.push_back(0);
    EXPECT_THROW(EncodePng(longer, decoded.layout, decoded.pixels), std::invalid_argument);
    PngLayout refused = ParsePng(longer);
    EXPECT_THROW(EncodePng(longer, refused, decoded.pixels), std::invalid_argument);
}

// libdeflate's allocations succeed gAllocationsLeft times, then fail.
int gAllocationsLeft = 0;
void* FailingMalloc(std::size_t size) { return gAllocationsLeft-- > 0 ? std::malloc(size) : nullptr; }

TEST(PngRoundTrip, ThrowsOutOfMemoryWhenCompressionCannotGetMemory) {
    PngRecipe recipe{40, 30, 2};
    Bytes file = WritePng(recipe, PatternSamples(recipe));
    DecodedPng decoded = DecodePng(file);
    ASSERT_TRUE(decoded.layout.usable());
    int failures = 0;
    for (int allowed = 0; allowed < 10; ++allowed) {
        gAllocationsLeft = allowed;
        libdeflate_set_memory_allocator(FailingMalloc, std::free);
        try {
            Bytes encoded = EncodePng(file, decoded.layout, decoded.pixels);
            libdeflate_set_memory_allocator(std::malloc, std::free);
            EXPECT_EQ(ReadPng(encoded).samples, decoded.pixels.samples);
            break;
        } catch (const std::bad_alloc&) {
            ++failures;
        }
        libdeflate_set_memory_allocator(std::malloc, std::free);
    }
    // The trial compressions and the real one each fail on their own.
    EXPECT_GE(failures, 2);
    EXPECT_LT(failures, 10);
}

}  // namespace
}  // namespace velquist::png
