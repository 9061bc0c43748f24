// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/PngMaker.h"
#include "engine/png/PngCodec.h"

namespace velquist::png {
namespace {

using namespace velquist::png::testing;
using namespace std::string_view_literals;

struct Kind {
    const char* name;
    PngRecipe recipe;
    Bytes before;  // chunks put before the image data
    Bytes after;   // chunks put after it
};

std::vector<Kind> AcceptedKinds() {
    Bytes profile = Join({Text("sRGB profile"), {0, 0}, Zlib(Bytes(300, 7))});
    Bytes described = Join({Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("iCCP", profile),
                           Chunk("tEXt", Text("Comment\0made in a test"sv)),
                           Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}),
                           Chunk("PrVc", Text("private, critical"))});
    Bytes trailing = Join({Chunk("tIME", {0x07, 0xE8, 12, 8, 23, 1, 0}), Chunk("prVt", Text("private"))});
    return {
        {"rgb", {9, 7, 2}, {}, {}},
        {"rgb-interlaced", {13, 11, 2, 8, true}, {}, {}},
        {"one-column-interlaced", {1, 9, 2, 8, true}, {}, {}},
        {"rgba-with-transparent-pixels", {9, 7, 6}, {}, {}},
        {"rgba-interlaced-in-small-idat-chunks", {17, 12, 6, 8, true, 64}, {}, {}},
        {"rgb-with-profile-text-and-private-chunks", {9, 7, 2, 8, false, 100}, described, trailing},
        {"rgba-interlaced-with-chunks", {5, 5, 6, 8, true}, described, trailing},
    };
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

TEST(PngRoundTrip, KeepsEveryOtherChunkAndDecodesToTheChangedPixels) {
    for (const Kind& kind : AcceptedKinds()) {
        SCOPED_TRACE(kind.name);
        Bytes samples = PatternSamples(kind.recipe);
        Bytes file = InsertBeforeEnd(InsertBeforeImage(WritePng(kind.recipe, samples), kind.before), kind.after);

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

        EXPECT_EQ(ChunksOtherThanImage(encoded), ChunksOtherThanImage(file));
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

}  // namespace
}  // namespace velquist::png
