// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/stealth/TestPictures.h"
#include "engine/stealth/Stealth.h"
#include "engine/stealth/pixels/ColourHillCosts.h"
#include "engine/stealth/pixels/PixelCosts.h"
#include "engine/stealth/pixels/PixelCover.h"

namespace velquist::stealth {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 40 x 30 picture: the left half flat grey, the right half noise.
Bytes Fill(const SampleGeometry& g) {
    Bytes samples(g.SampleCount());
    for (std::uint32_t y = 0; y < g.Height(); ++y) {
        std::mt19937 rng(y);  // the same values row by row, whatever the layout
        for (std::uint32_t x = 0; x < g.Width(); ++x)
            for (Plane p : {Plane::Red, Plane::Green, Plane::Blue}) {
                const auto v = static_cast<std::uint8_t>(x < 20 ? 128 : rng() % 256);
                if (auto s = g.SampleAt(x, y, p)) samples[*s] = v;
            }
    }
    return samples;
}

PixelCosts Costs(const SampleGeometry& g, const Bytes& samples) {
    PixelCosts costs(samples.size());
    ColourHillCosts().Fill({samples, g}, costs, 2);
    costs.ClearFlips();
    return costs;
}

// The same picture stored bottom-up as a BMP and top-down as a PNG has the same costs at every
// pixel and colour, and the same costs of moving its differences; texture is cheaper than flat
// grey, and every cost is positive and finite.
TEST(StealthCosts, FollowThePictureWhateverItsLayout) {
    const auto bmp = SampleGeometry::Bmp(40, 30, true);
    const auto png = SampleGeometry::Png(40, 30);
    std::vector<bool> carries(40 * 30, true);
    for (std::size_t p = 0; p < carries.size(); p += 7) carries[p] = false;
    const auto holes = SampleGeometry::Png(40, 30, carries);
    const PixelCosts bmpCosts = Costs(bmp, Fill(bmp));
    const PixelCosts pngCosts = Costs(png, Fill(png));
    const PixelCosts holeCosts = Costs(holes, Fill(holes));
    auto usable = [](float c) { return c > 0 && std::isfinite(c); };
    for (std::uint64_t s = 0; s < holes.SampleCount(); ++s) {
        EXPECT_TRUE(usable(holeCosts.SampleCost(s))) << s;
        if (s % 3 != 1) {
            EXPECT_TRUE(usable(holeCosts.DifferenceCost(s))) << s;
        }
    }
    for (std::uint32_t y = 0; y < 30; ++y)
        for (std::uint32_t x = 0; x < 40; ++x)
            for (Plane p : {Plane::Red, Plane::Green, Plane::Blue}) {
                const std::uint64_t b = *bmp.SampleAt(x, y, p), n = *png.SampleAt(x, y, p);
                const std::uint64_t across = *bmp.SampleAt(39 - x, y, p);
                ASSERT_FLOAT_EQ(bmpCosts.SampleCost(b), pngCosts.SampleCost(n));
                EXPECT_TRUE(usable(bmpCosts.SampleCost(b)));
                if (x < 4) {
                    EXPECT_GT(bmpCosts.SampleCost(b), 100 * bmpCosts.SampleCost(across)) << x << "," << y;
                }
                if (p == Plane::Green) continue;
                ASSERT_FLOAT_EQ(bmpCosts.DifferenceCost(b), pngCosts.DifferenceCost(n));
                if (x < 4) {
                    EXPECT_GT(bmpCosts.DifferenceCost(b), 100 * bmpCosts.DifferenceCost(across));
                }
            }
}

// A toggle's cost is what it changes of the pixel's cost: each flipped sample's own cost, and a
// difference's cost when exactly one of its two samples flips. A whole pixel moves no
// difference, so completing one is a gain where the differences cost more than the samples.
TEST(StealthCosts, ToggleCostIsWhatTheTogglesChangeOfThePixelsCost) {
    const auto g = SampleGeometry::Png(1, 1);  // R, G, B at offsets 0, 1, 2
    PixelCosts costs(3);
    const float own[3] = {1, 2, 4}, red = 16, blue = 32;
    for (unsigned o = 0; o < 3; ++o) costs.SetSampleCost(o, own[o]);
    costs.SetDifferenceCost(0, red);
    costs.SetDifferenceCost(2, blue);
    costs.ClearFlips();
    EXPECT_EQ(g.PlaneOffset(Plane::Green), 1u);
    struct Row {
        unsigned flips;  // bit o: offset o flipped before the toggle
        unsigned offset;
        float cost;
    };
    const Row rows[] = {
        {0b000, 0, 1 + red},         {0b000, 1, 2 + red + blue}, {0b000, 2, 4 + blue},
        {0b001, 1, 2 - red + blue},  {0b011, 2, 4 - blue},       {0b110, 0, 1 - red},
        {0b111, 1, -2 + red + blue}, {0b101, 1, 2 - red - blue}, {0b101, 0, -1 - red},
        {0b010, 2, 4 - blue},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "flips " << row.flips << ", offset " << row.offset);
        costs.ClearFlips();
        for (unsigned o = 0; o < 3; ++o)
            if (row.flips >> o & 1) costs.Toggle(o);
        const float before = costs.PixelDistortion(0);
        EXPECT_FLOAT_EQ(costs.ToggleCost(row.offset), row.cost);
        costs.Toggle(row.offset);
        EXPECT_FLOAT_EQ(costs.PixelDistortion(0) - before, row.cost);
        EXPECT_EQ(costs.Flipped(row.offset), !(row.flips >> row.offset & 1));
    }
}

// Grey texture and noise that all three colours share, so the colour differences are smooth,
// beside a half where each colour has noise of its own and they are busy.
Bytes SharedTexture(const SampleGeometry& g) {
    std::mt19937 rng(9);
    Bytes samples(g.SampleCount());
    for (std::uint32_t y = 0; y < g.Height(); ++y)
        for (std::uint32_t x = 0; x < g.Width(); ++x) {
            const int grey = 100 + static_cast<int>((x * 7 + y * 3) % 23) + static_cast<int>(rng() % 9);
            for (Plane p : {Plane::Red, Plane::Green, Plane::Blue}) {
                const int own = x < g.Width() / 2 ? static_cast<int>(rng() % 5) : 0;
                samples[*g.SampleAt(x, y, p)] = static_cast<std::uint8_t>(grey + own + 10 * static_cast<int>(p));
            }
        }
    return samples;
}

// The rounds after the first coding keep the payload and lower the changes' total cost, with
// more of the changed pixels changed whole.
TEST(StealthCosts, RoundsLowerTheCostAndGatherWholePixels) {
    const auto g = SampleGeometry::Bmp(120, 90, true);
    const Bytes cover = SharedTexture(g);
    const auto keys = testing::PictureKeys("pw", g);
    const Bytes payload(300, 0xA7);
    PixelCosts costs = Costs(g, cover);
    struct Outcome {
        double cost = 0;
        double whole = 0;  // of the changed pixels
    };
    auto hide = [&](int rounds) {
        Bytes samples = cover;
        PixelCover pixels(samples, g);
        EXPECT_TRUE(Embed(pixels, keys, payload, {.threads = 2, .rounds = rounds}));
        EXPECT_EQ(ReadPayload(pixels, keys), payload);
        costs.ClearFlips();
        for (std::uint64_t s = 0; s < samples.size(); ++s)
            if (samples[s] != cover[s]) costs.Toggle(s);
        Outcome out;
        int changedPixels = 0, whole = 0;
        for (std::uint64_t p = 0; p < samples.size(); p += 3) {
            const int changed = costs.Flipped(p) + costs.Flipped(p + 1) + costs.Flipped(p + 2);
            out.cost += costs.PixelDistortion(p);
            changedPixels += changed > 0;
            whole += changed == 3;
        }
        out.whole = static_cast<double>(whole) / changedPixels;
        return out;
    };
    const Outcome first = hide(0);
    const Outcome rounds = hide(2);
    EXPECT_LT(rounds.cost, 0.99 * first.cost);
    EXPECT_GT(rounds.whole, first.whole);
}

}  // namespace
}  // namespace velquist::stealth
