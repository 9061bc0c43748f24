// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/stealth/CoupledHillCosts.h"
#include "engine/stealth/RandomBits.h"
#include "engine/stealth/Steering.h"

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

std::vector<float> Costs(const SampleGeometry& g, const Bytes& samples) {
    std::vector<float> costs(samples.size(), -1);
    CoupledHillCosts().FillBaseCosts({samples, g}, costs, 2);
    return costs;
}

// The same picture stored bottom-up as a BMP and top-down as a PNG has the same cost at every
// pixel and colour; texture is cheaper than flat grey, and every cost is positive and finite.
TEST(StealthCosts, FollowThePictureWhateverItsLayout) {
    const auto bmp = SampleGeometry::Bmp(40, 30, true);
    const auto png = SampleGeometry::Png(40, 30);
    std::vector<bool> carries(40 * 30, true);
    for (std::size_t p = 0; p < carries.size(); p += 7) carries[p] = false;
    const auto holes = SampleGeometry::Png(40, 30, carries);
    const auto bmpCosts = Costs(bmp, Fill(bmp));
    const auto pngCosts = Costs(png, Fill(png));
    const auto holeCosts = Costs(holes, Fill(holes));
    for (float c : holeCosts) EXPECT_TRUE(c > 0 && std::isfinite(c)) << c;
    for (std::uint32_t y = 0; y < 30; ++y)
        for (std::uint32_t x = 0; x < 40; ++x)
            for (Plane p : {Plane::Red, Plane::Green, Plane::Blue}) {
                const float c = bmpCosts[*bmp.SampleAt(x, y, p)];
                ASSERT_FLOAT_EQ(c, pngCosts[*png.SampleAt(x, y, p)]);
                EXPECT_TRUE(c > 0 && std::isfinite(c));
                if (x < 4) {
                    EXPECT_GT(c, 100 * bmpCosts[*bmp.SampleAt(39 - x, y, p)]) << x << "," << y;
                }
            }
}

// A planned change pulls the other samples of its pixel, much, and the same plane of the pixels
// beside it, less, its way; other samples stay as they were; 0 and 255 keep their one way.
TEST(StealthCosts, PlannedChangesSteerTheirNeighboursTheirWay) {
    const auto g = SampleGeometry::Png(5, 5);
    Bytes samples(g.SampleCount(), 100);
    samples[*g.SampleAt(0, 0, Plane::Blue)] = 255;
    samples[*g.SampleAt(4, 4, Plane::Red)] = 0;
    std::vector<std::int8_t> planned(samples.size(), 0);
    planned[*g.SampleAt(2, 2, Plane::Red)] = -1;
    Bytes steering(samples.size());
    CoupledHillCosts model(Coupling{.self = 8, .pixel = 16, .neighbour = 8});
    model.FillSteering({samples, g}, planned, RandomBits(25), steering, 1);
    struct Row {
        std::uint32_t x, y;
        Plane plane;
        float multiplier;
        bool up;
    };
    const Row rows[] = {
        {2, 2, Plane::Red, 0.5f, false},    // its own change again
        {2, 2, Plane::Green, 0.25f, false}, // the same pixel
        {2, 2, Plane::Blue, 0.25f, false},
        {1, 2, Plane::Red, 0.5f, false},    // beside it, same plane
        {2, 3, Plane::Red, 0.5f, false},
        {1, 2, Plane::Green, 1, false},     // beside it, other plane: no pull
        {0, 0, Plane::Blue, 1, false},      // 255 only goes down
        {4, 4, Plane::Red, 1, true},        // 0 only goes up
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.x << "," << row.y << " plane " << static_cast<int>(row.plane));
        const std::uint8_t s = steering[*g.SampleAt(row.x, row.y, row.plane)];
        EXPECT_FLOAT_EQ(Steering::Multiplier(s), row.multiplier);
        if (row.multiplier != 1 || row.x == 0 || row.x == 4) {
            EXPECT_EQ(Steering::Up(s), row.up);
        }
    }
}

}  // namespace
}  // namespace velquist::stealth
