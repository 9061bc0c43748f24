// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/stealth/Stealth.h"
#include "engine/stealth/TestPictures.h"
#include "engine/stealth/pixels/HillCost.h"
#include "engine/stealth/pixels/PixelCover.h"
#include "engine/stealth/pixels/SampleCosts.h"

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

SampleCosts Costs(const SampleGeometry& g, const Bytes& samples) {
    SampleCosts costs(samples.size());
    HillCost::Fill({samples, g}, costs, 2);
    return costs;
}

// The same picture stored bottom-up as a BMP and top-down as a PNG has the same costs at every
// pixel and colour; texture is far cheaper than flat grey, and every cost is positive and finite.
TEST(StealthCosts, FollowThePictureWhateverItsLayout) {
    const auto bmp = SampleGeometry::Bmp(40, 30, true);
    const auto png = SampleGeometry::Png(40, 30);
    std::vector<bool> carries(40 * 30, true);
    for (std::size_t p = 0; p < carries.size(); p += 7) carries[p] = false;
    const auto holes = SampleGeometry::Png(40, 30, carries);
    const SampleCosts bmpCosts = Costs(bmp, Fill(bmp));
    const SampleCosts pngCosts = Costs(png, Fill(png));
    const SampleCosts holeCosts = Costs(holes, Fill(holes));
    auto usable = [](float c) { return c > 0 && std::isfinite(c); };
    for (std::uint64_t s = 0; s < holes.SampleCount(); ++s) EXPECT_TRUE(usable(holeCosts.Cost(s))) << s;
    for (std::uint32_t y = 0; y < 30; ++y)
        for (std::uint32_t x = 0; x < 40; ++x)
            for (Plane p : {Plane::Red, Plane::Green, Plane::Blue}) {
                const std::uint64_t b = *bmp.SampleAt(x, y, p), n = *png.SampleAt(x, y, p);
                const std::uint64_t across = *bmp.SampleAt(39 - x, y, p);
                ASSERT_FLOAT_EQ(bmpCosts.Cost(b), pngCosts.Cost(n));
                EXPECT_TRUE(usable(bmpCosts.Cost(b)));
                if (x < 4) {
                    EXPECT_GT(bmpCosts.Cost(b), 100 * bmpCosts.Cost(across)) << x << "," << y;
                }
            }
}

// A cost's code keeps it to within 6 % over 2^-16 .. 2^16, never reverses the order of two
// costs, and holds costs past either end at that end.
TEST(StealthCosts, CodesKeepEachCostCloseAndInOrder) {
    struct Row {
        float cost;
        float near;  // what the code must give back, to 6 %
    };
    const Row rows[] = {
        {1.0f, 1.0f},         {1.1f, 1.1f},           {1.99f, 1.99f},       {3.0e-5f, 3.0e-5f},
        {0.017f, 0.017f},     {4321.0f, 4321.0f},     {65000.0f, 65000.0f}, {1e-9f, 1.0f / 65536},
        {1e-30f, 1.0f / 65536}, {1e9f, 65536.0f},     {1e30f, 65536.0f},
    };
    for (const Row& row : rows) {
        const float back = SampleCosts::Value(SampleCosts::Code(row.cost));
        EXPECT_NEAR(back / row.near, 1.0f, 0.062f) << row.cost;
    }
    float previous = 0;
    for (float cost = 1.0f / 65536; cost < 65536; cost *= 1.01f) {
        const float back = SampleCosts::Value(SampleCosts::Code(cost));
        EXPECT_GE(back, previous) << cost;
        EXPECT_NEAR(back / cost, 1.0f, 0.062f) << cost;
        previous = back;
    }
}

// Noise that grows from nothing on the left to strong on the right.
Bytes GrowingNoise(const SampleGeometry& g) {
    std::mt19937 rng(8);
    Bytes samples(g.SampleCount());
    for (std::uint64_t s = 0; s < samples.size(); ++s) {
        const SamplePlace at = g.PlaceOf(s);
        const int spread = 1 + static_cast<int>(at.x / 8);
        samples[s] = static_cast<std::uint8_t>(100 + static_cast<int>(rng() % static_cast<unsigned>(spread)));
    }
    return samples;
}

// Sharper costs send more of the changes to the busiest texture at the same payload, and the
// payload still reads back.
TEST(StealthCosts, SharperCostsKeepTheChangesInTexture) {
    const auto g = SampleGeometry::Bmp(240, 80, true);
    const Bytes cover = GrowingNoise(g);
    const auto keys = testing::PictureKeys("pw", g);
    Bytes payload(1000);
    std::mt19937 rng(3);
    for (std::uint8_t& b : payload) b = static_cast<std::uint8_t>(rng());
    auto busiestShare = [&](float sharpness) {
        Bytes samples = cover;
        PixelCover pixels(samples, g, sharpness);
        const auto changed = Embed(pixels, keys, payload, {.threads = 2});
        EXPECT_TRUE(changed);
        EXPECT_EQ(ReadPayload(pixels, keys), payload);
        std::size_t busiest = 0;
        for (std::uint32_t s : changed.value_or(std::vector<std::uint32_t>{})) busiest += g.PlaceOf(s).x >= 180;
        return changed && !changed->empty() ? static_cast<double>(busiest) / static_cast<double>(changed->size()) : 0.0;
    };
    const double plain = busiestShare(1.0f);
    const double sharper = busiestShare(PixelCover::kSharpness);
    EXPECT_GT(plain, 0.25);
    EXPECT_GT(sharper, plain + 0.05);
}

}  // namespace
}  // namespace velquist::stealth
