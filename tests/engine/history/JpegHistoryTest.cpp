// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <stdexcept>

#include "ImageMagick.h"
#include "engine/history/DecoderColours.h"
#include "engine/history/JpegHistory.h"
#include "support/TempDir.h"

namespace velquist::history {
namespace {

using velquist::testing::ImageMagick;
using velquist::testing::TempDir;

struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<std::uint8_t> carries;

    Pixels pixels() const { return {width, height, rgb, carries}; }
    std::uint8_t* at(std::uint32_t x, std::uint32_t y) { return rgb.data() + 3 * (std::size_t{y} * width + x); }
};

constexpr std::uint32_t kSide = 256;

// ImageMagick's plasma written as a JPEG with `options`, and its pixels as libjpeg decodes them.
Picture DecodedJpeg(const std::string& options) {
    TempDir dir;
    std::string path = dir.File("picture.jpg");
    ImageMagick::Write(kSide, kSide, options, "jpg", path);
    return {kSide, kSide, ImageMagick::DecodeRgb(path), {}};
}

Picture Render() {
    TempDir dir;
    std::string path = dir.File("picture.png");
    ImageMagick::Write(kSide, kSide, "", "png", path);
    return {kSide, kSide, ImageMagick::DecodeRgb(path), {}};
}

Picture Drawn(std::uint32_t width, std::uint32_t height,
              const std::function<void(std::uint32_t, std::uint32_t, std::uint8_t*)>& paint) {
    Picture p{width, height, std::vector<std::uint8_t>(3 * std::size_t{width} * height), {}};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) paint(x, y, p.at(x, y));
    return p;
}

void Grey(std::uint8_t* s, int v) {
    s[0] = s[1] = s[2] = static_cast<std::uint8_t>(v);
}

// Each 2 x 2 square averaged, as a photograph is made smaller.
Picture Halved(Picture in) {
    return Drawn(in.width / 2, in.height / 2, [&](std::uint32_t x, std::uint32_t y, std::uint8_t* s) {
        for (int c = 0; c < 3; ++c)
            s[c] = static_cast<std::uint8_t>((in.at(2 * x, 2 * y)[c] + in.at(2 * x + 1, 2 * y)[c] +
                                              in.at(2 * x, 2 * y + 1)[c] + in.at(2 * x + 1, 2 * y + 1)[c] + 2) /
                                             4);
    });
}

Picture Cropped(Picture in, std::uint32_t left, std::uint32_t top) {
    return Drawn(in.width - left, in.height - top, [&](std::uint32_t x, std::uint32_t y, std::uint8_t* s) {
        std::copy_n(in.at(x + left, y + top), 3, s);
    });
}

Picture Doubled(Picture in) {
    return Drawn(in.width * 2, in.height * 2,
                 [&](std::uint32_t x, std::uint32_t y, std::uint8_t* s) { std::copy_n(in.at(x / 2, y / 2), 3, s); });
}

// One sample in four (or, for `wholePixels`, one pixel in four) changed by +1 or -1, as a
// dense hide would.
Picture Nudged(Picture in, bool wholePixels) {
    std::mt19937 random(11);
    for (std::size_t i = 0; i < in.rgb.size(); i += wholePixels ? 3 : 1) {
        if (random() % 4 != 0) continue;
        int step = in.rgb[i] == 255 || (in.rgb[i] != 0 && random() % 2) ? -1 : 1;
        for (std::size_t c = i; c < i + (wholePixels ? 3 : 1); ++c)
            in.rgb[c] = static_cast<std::uint8_t>(in.rgb[c] + step);
    }
    return in;
}

// A square of pixels that do not carry, painted in colours no decoder puts out.
Picture Masked(Picture in, bool withMask) {
    in.carries.assign(in.width * in.height, 1);
    for (std::uint32_t y = 32; y < 96; ++y)
        for (std::uint32_t x = 32; x < 96; ++x) {
            std::uint8_t* s = in.at(x, y);
            s[0] = static_cast<std::uint8_t>(x);
            s[1] = static_cast<std::uint8_t>(x + 1);
            s[2] = static_cast<std::uint8_t>(y);
            in.carries[y * in.width + x] = 0;
        }
    if (!withMask) in.carries.clear();
    return in;
}

// A window with text: flat greys, strokes one or two pixels wide with softened edges.
Picture GreyScreen() {
    return Drawn(640, 480, [](std::uint32_t x, std::uint32_t y, std::uint8_t* s) {
        bool line = y % 14 >= 3 && y % 14 < 12 && x % 320 > 10 && x % 320 < 300;
        bool stroke = line && ((x * 7 + y / 14 * 3) % 9 < 2 || (y % 14 == 6 && x % 23 < 5));
        bool edge = line && (x * 7 + y / 14 * 3) % 9 == 2;
        Grey(s, x < 160 ? 60 : stroke ? 40 : edge ? 128 : 230);
    });
}

Picture Noise(bool grey) {
    std::mt19937 random(5);
    return Drawn(kSide, kSide, [&](std::uint32_t, std::uint32_t, std::uint8_t* s) {
        for (int c = 0; c < 3; ++c) s[c] = static_cast<std::uint8_t>(random());
        if (grey) Grey(s, s[0]);
    });
}

Picture Gradient(bool grey) {
    return Drawn(640, 480, [grey](std::uint32_t x, std::uint32_t y, std::uint8_t* s) {
        s[0] = static_cast<std::uint8_t>(20 + x / 3), s[1] = static_cast<std::uint8_t>(40 + y / 3), s[2] = 90;
        if (grey) Grey(s, 10 + (x + y) / 5);
    });
}

// Squares off the 8 x 8 grid: a few distinct blocks, each repeating exact coefficients.
Picture TwoTones() {
    return Drawn(640, 480,
                 [](std::uint32_t x, std::uint32_t y, std::uint8_t* s) { Grey(s, (x / 13 + y / 13) % 2 ? 100 : 150); });
}

// A drawing in four flat colours that happen to be a decoder's, so only the blocks can tell.
Picture FlatColours() {
    const Rgb colours[] = {DecoderColours::Convert(200, 120, 130), DecoderColours::Convert(90, 170, 100),
                           DecoderColours::Convert(140, 100, 190), DecoderColours::Convert(60, 128, 140)};
    return Drawn(640, 480, [&](std::uint32_t x, std::uint32_t y, std::uint8_t* s) {
        const Rgb& c = colours[(x / 90 + y / 70 * 3 + (x * x + y * y < 40000 ? 1 : 0)) % 4];
        s[0] = c.r, s[1] = c.g, s[2] = c.b;
    });
}

struct Kind {
    const char* name;
    std::function<Picture()> make;
    // Which evidence decides.
    JpegHistory::Basis basis;
};

class JpegHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ImageMagick::Available()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
};

using Basis = JpegHistory::Basis;

TEST(DecoderColoursTest, ConvertsAsTheDecoderDoes) {
    struct Row {
        std::uint8_t y, cb, cr;
        Rgb rgb;
    } rows[] = {
        {100, 128, 128, {100, 100, 100}},  // no chroma: grey
        {120, 100, 160, {165, 107, 70}},   // R 44.86 -> 45, G -13.22 -> -13, B -49.62 -> -50
        {128, 128, 255, {255, 37, 128}},   // red beyond 255 is limited; G -90.70 -> -91
        {20, 255, 128, {20, 0, 245}},      // green below 0 is limited; B 225.04 -> 225
    };
    for (const Row& r : rows) {
        EXPECT_EQ(DecoderColours::Convert(r.y, r.cb, r.cr), r.rgb) << int{r.y} << " " << int{r.cb} << " " << int{r.cr};
        EXPECT_TRUE(DecoderColours::Get().Contains(r.rgb));
    }
    // Next to a grey, one step off the grey axis is a colour no conversion reaches.
    EXPECT_FALSE(DecoderColours::Get().Contains({100, 101, 100}));
}

// Every pixel of every kind of decoded JPEG is a colour of the set, and the picture is told.
TEST_F(JpegHistoryTest, DecodedJpegsAreTold) {
    const Kind kinds[] = {
        {"quality 50, 4:2:0", [] { return DecodedJpeg("-quality 50 -sampling-factor 4:2:0"); }, Basis::Colours},
        {"quality 75, 4:2:2", [] { return DecodedJpeg("-quality 75 -sampling-factor 4:2:2"); }, Basis::Colours},
        {"quality 90, 4:4:4", [] { return DecodedJpeg("-quality 90 -sampling-factor 4:4:4"); }, Basis::Colours},
        {"quality 98, 4:2:0, progressive",
         [] { return DecodedJpeg("-quality 98 -sampling-factor 4:2:0 -interlace JPEG"); }, Basis::Colours},
        {"grey, quality 50", [] { return DecodedJpeg("-colorspace gray -quality 50"); }, Basis::Blocks},
        {"grey, quality 75", [] { return DecodedJpeg("-colorspace gray -quality 75"); }, Basis::Blocks},
        {"grey, quality 95", [] { return DecodedJpeg("-colorspace gray -quality 95"); }, Basis::Blocks},
        {"grey, quality 98", [] { return DecodedJpeg("-colorspace gray -quality 98"); }, Basis::Blocks},
        {"grey, cropped off its grid", [] { return Cropped(DecodedJpeg("-colorspace gray -quality 85"), 3, 5); },
         Basis::Blocks},
        {"transparent pixels skipped", [] { return Masked(DecodedJpeg("-quality 85"), true); }, Basis::Colours},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Picture picture = kind.make();
        ASSERT_EQ(picture.rgb.size(), 3 * std::size_t{picture.width} * picture.height);
        for (std::size_t i = 0; i < picture.width * picture.height; ++i) {
            if (!picture.carries.empty() && !picture.carries[i]) continue;
            Rgb colour{picture.rgb[3 * i], picture.rgb[3 * i + 1], picture.rgb[3 * i + 2]};
            ASSERT_TRUE(DecoderColours::Get().Contains(colour)) << "pixel " << i;
        }
        JpegHistory history = JudgeJpegHistory(picture.pixels());
        EXPECT_TRUE(history.found);
        EXPECT_EQ(history.basis, kind.basis);
        EXPECT_EQ(history.impossibleShare, 0.0);
    }
}

TEST_F(JpegHistoryTest, PicturesThatNeverWereJpegsAreNot) {
    const Kind kinds[] = {
        {"halved", [] { return Halved(DecodedJpeg("-quality 90")); }, Basis::Colours},
        {"grey, halved", [] { return Halved(DecodedJpeg("-colorspace gray -quality 90")); }, Basis::Blocks},
        {"grey, doubled", [] { return Doubled(DecodedJpeg("-colorspace gray -quality 75")); }, Basis::Blocks},
        {"render", Render, Basis::Colours},
        {"noise", [] { return Noise(false); }, Basis::Colours},
        {"grey noise", [] { return Noise(true); }, Basis::Blocks},
        {"grey screen with text", GreyScreen, Basis::Blocks},
        {"gradient", [] { return Gradient(false); }, Basis::Colours},
        {"grey gradient", [] { return Gradient(true); }, Basis::Blocks},
        {"two tones", TwoTones, Basis::Blocks},
        {"flat colours the decoder can produce", FlatColours, Basis::Blocks},
        {"a quarter of samples nudged", [] { return Nudged(DecodedJpeg("-quality 85"), false); }, Basis::Colours},
        {"grey, a quarter of pixels nudged", [] { return Nudged(DecodedJpeg("-colorspace gray -quality 85"), true); },
         Basis::Blocks},
        {"transparent pixels counted", [] { return Masked(DecodedJpeg("-quality 85"), false); }, Basis::Colours},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        JpegHistory history = JudgeJpegHistory(kind.make().pixels());
        EXPECT_FALSE(history.found);
        EXPECT_EQ(history.basis, kind.basis);
    }
}

// A change of one to a sample of a decoded JPEG leaves the decoder's colours most of the time:
// what makes a message in such a picture easy to find.
TEST_F(JpegHistoryTest, NudgedSamplesLeaveTheDecodersColours) {
    JpegHistory history = JudgeJpegHistory(Nudged(DecodedJpeg("-quality 85"), false).pixels());
    // A pixel keeps all three samples with probability (3/4)^3; most of the others leave.
    EXPECT_GT(history.impossibleShare, 0.3);
}

TEST(JpegHistoryErrors, RefusesPixelsOfTheWrongSize) {
    std::vector<std::uint8_t> rgb(3 * 8 * 8, 128);
    std::vector<std::uint8_t> carries(8 * 8, 1);
    std::span<const std::uint8_t> all(rgb);
    EXPECT_THROW(JudgeJpegHistory({8, 8, all.first(rgb.size() - 1), {}}), std::invalid_argument);
    EXPECT_THROW(JudgeJpegHistory({8, 8, all, std::span<const std::uint8_t>(carries).first(63)}),
                 std::invalid_argument);
    EXPECT_THROW(JudgeJpegHistory({9, 8, all, {}}), std::invalid_argument);
    EXPECT_FALSE(JudgeJpegHistory({0, 0, {}, {}}).found);
    EXPECT_FALSE(JudgeJpegHistory({8, 8, all, carries}).found);
}

}  // namespace
}  // namespace velquist::history
