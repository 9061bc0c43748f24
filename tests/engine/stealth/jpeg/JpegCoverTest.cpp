// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "TestJpeg.h"
#include "engine/stealth/jpeg/JpegCover.h"
#include "engine/stealth/jpeg/UerdCosts.h"

namespace velquist::stealth {
namespace {

using testing::TestJpeg;
using Texture = TestJpeg::Texture;

constexpr std::array<std::uint8_t, 32> kSeed{7};

std::vector<float> Costs(const JpegCover& cover, const std::vector<std::uint32_t>& samples,
                         std::vector<std::uint8_t>& flipped) {
    std::vector<float> costs(samples.size());
    flipped.assign(samples.size(), 2);
    cover.ToggleCosts(samples, 0, flipped, costs);
    return costs;
}

// 4:2:0 with odd block counts: 3 x 2 luminance blocks, then 2 x 1 of each chroma. The cover is
// every coefficient, zeros and DC included, component after component, block row after block
// row, in natural order; a lowest bit is the value mod 2, negative values too; a planned flip
// changes exactly the coefficient at its place in that order.
TEST(JpegCover, SamplesAreEveryCoefficientInComponentBlockAndNaturalOrder) {
    TestJpeg jpeg(20, 12, {{2, 2, 3, 2}, {1, 1, 2, 1}, {1, 1, 2, 1}});
    std::mt19937 rng(3);
    std::vector<unsigned> expected;
    struct Place {
        std::size_t c;
        std::uint32_t bx, by;
        unsigned v, u;
    };
    std::vector<Place> places;
    for (std::size_t c = 0; c < 3; ++c)
        for (std::uint32_t by = 0; by < jpeg.view.components[c].blocksHigh; ++by)
            for (std::uint32_t bx = 0; bx < jpeg.view.components[c].blocksWide; ++bx)
                for (unsigned v = 0; v < 8; ++v)
                    for (unsigned u = 0; u < 8; ++u) {
                        const int value = static_cast<int>(rng() % 2047) - 1024;
                        jpeg.At(c, bx, by, v, u) = static_cast<std::int16_t>(value);
                        expected.push_back(static_cast<unsigned>(((value % 2) + 2) % 2));
                        places.push_back({c, bx, by, v, u});
                    }
    const UerdCosts model;
    JpegCover cover(jpeg.view, model);
    FreeChoices choices(kSeed);
    ASSERT_EQ(cover.Size(), 64u * (6 + 2 + 2));
    std::vector<std::uint64_t> packed(cover.Size() / 64 + 1, 0);
    cover.LowestBits(packed, 2);
    for (std::size_t k = 0; k < expected.size(); ++k) ASSERT_EQ((packed[k / 64] >> (k % 64)) & 1, expected[k]) << k;
    EXPECT_EQ(packed.back(), 0u);

    cover.PrepareCosts(1);
    for (std::uint32_t sample : {0u, 63u, 64u, 200u, 383u, 384u, 450u, 512u, 639u}) {
        SCOPED_TRACE(sample);
        const std::vector<std::vector<std::int16_t>> before = jpeg.planes;
        cover.ClearPlan();
        cover.Toggle(sample);
        EXPECT_EQ(cover.ApplyPlan(choices), std::vector<std::uint32_t>{sample});
        const Place& p = places[sample];
        const int was = before[p.c][(std::size_t{p.by} * jpeg.view.components[p.c].blocksWide + p.bx) * 64 + 8 * p.v + p.u];
        EXPECT_EQ(std::abs(jpeg.At(p.c, p.bx, p.by, p.v, p.u) - was), 1);
        jpeg.At(p.c, p.bx, p.by, p.v, p.u) = static_cast<std::int16_t>(was);
        EXPECT_EQ(jpeg.planes, before);
    }
}

// A change is +1 or -1; at or beyond the range's limit only toward zero. Where both ways are
// open the way is random: both occur, a seed repeats them, the system's generator does not.
TEST(JpegCover, ChangesAreOneEitherWayAndInwardAtTheLimit) {
    struct Row {
        std::int16_t value;
        std::vector<int> results;
    };
    const Row rows[] = {
        {1023, {1022}}, {-1023, {-1022}}, {-1024, {-1023}}, {1400, {1399}}, {-2000, {-1999}},
        {1022, {1021, 1023}}, {-1022, {-1023, -1021}}, {0, {-1, 1}}, {1, {0, 2}}, {-1, {-2, 0}},
    };
    auto run = [&](std::optional<std::array<std::uint8_t, 32>> seed, std::vector<std::int16_t>& values) {
        TestJpeg jpeg(32, 32, {{1, 1, 4, 4}});
        std::mt19937 rng(5);
        for (std::uint32_t b = 0; b < 16; ++b) jpeg.Paint(0, b % 4, b / 4, Texture::Busy, rng);
        for (std::size_t r = 0; r < std::size(rows); ++r) jpeg.planes[0][2 + r] = rows[r].value;
        const UerdCosts model;
        JpegCover cover(jpeg.view, model);
        FreeChoices choices(seed);
        cover.PrepareCosts(1);
        cover.ClearPlan();
        for (std::uint32_t s = 0; s < cover.Size(); ++s) cover.Toggle(s);
        const std::vector<std::int16_t> before = jpeg.planes[0];
        EXPECT_EQ(cover.ApplyPlan(choices).size(), cover.Size());
        for (std::size_t r = 0; r < std::size(rows); ++r) {
            SCOPED_TRACE(rows[r].value);
            const int got = jpeg.planes[0][2 + r];
            EXPECT_NE(std::find(rows[r].results.begin(), rows[r].results.end(), got), rows[r].results.end()) << got;
        }
        int up = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(std::abs(jpeg.planes[0][i] - before[i]), 1) << i;
            up += jpeg.planes[0][i] > before[i];
        }
        EXPECT_GT(up, 400);
        EXPECT_LT(up, 624);
        values = jpeg.planes[0];
    };
    std::vector<std::int16_t> seeded, again, other, fresh, fresher;
    run(kSeed, seeded);
    run(kSeed, again);
    run(std::array<std::uint8_t, 32>{8}, other);
    run(std::nullopt, fresh);
    run(std::nullopt, fresher);
    EXPECT_EQ(seeded, again);
    EXPECT_NE(seeded, other);
    EXPECT_NE(fresh, fresher);
}

// Every coefficient of a block whose AC coefficients are all zero is held, its DC too: its
// toggles cost +infinity, flipped or not, and a plan that flips one anyway changes nothing at
// all. So does a plan made before the costs.
TEST(JpegCover, BlocksWithoutAcEnergyNeverChange) {
    TestJpeg jpeg(24, 8, {{1, 1, 3, 1}});
    std::mt19937 rng(9);
    jpeg.Paint(0, 0, 0, Texture::Busy, rng);
    jpeg.Paint(0, 1, 0, Texture::Flat, rng);
    jpeg.At(0, 1, 0, 0, 0) = 37;
    jpeg.Paint(0, 2, 0, Texture::Smooth, rng);
    const UerdCosts model;
    JpegCover cover(jpeg.view, model);
    FreeChoices choices(kSeed);
    const std::vector<std::int16_t> before = jpeg.planes[0];
    cover.ClearPlan();
    cover.Toggle(3);
    EXPECT_THROW(cover.ApplyPlan(choices), std::logic_error);
    EXPECT_EQ(jpeg.planes[0], before);

    cover.PrepareCosts(2);
    std::vector<std::uint32_t> all(cover.Size());
    for (std::uint32_t s = 0; s < all.size(); ++s) all[s] = s;
    cover.Toggle(64);  // a held DC, planned
    std::vector<std::uint8_t> flipped;
    const std::vector<float> costs = Costs(cover, all, flipped);
    for (std::uint32_t s = 0; s < all.size(); ++s) {
        SCOPED_TRACE(s);
        const bool held = s >= 64 && s < 128;
        EXPECT_EQ(std::isinf(costs[s]) && costs[s] > 0, held);
        if (!held) {
            EXPECT_GT(flipped[s] ? -costs[s] : costs[s], 0);
        }
        EXPECT_EQ(flipped[s], s == 3 || s == 64);
    }
    EXPECT_THROW(cover.ApplyPlan(choices), std::logic_error);
    EXPECT_EQ(jpeg.planes[0], before);
}

// Toggles price a flip at +cost and undoing one at -cost; flips planned for next take effect on
// AdvancePlan only, and replace the plan; ClearPlan forgets everything; ApplyPlan names the
// changed samples in ascending order.
TEST(JpegCover, ThePlanIsABitASampleWithAdditiveToggleCosts) {
    TestJpeg jpeg(16, 8, {{1, 1, 2, 1}});
    std::mt19937 rng(11);
    jpeg.Paint(0, 0, 0, Texture::Busy, rng);
    jpeg.Paint(0, 1, 0, Texture::Smooth, rng);
    const UerdCosts model;
    JpegCover cover(jpeg.view, model);
    FreeChoices choices(kSeed);
    EXPECT_EQ(cover.RefinementPasses(), 0u);
    cover.PrepareCosts(1);
    cover.ClearPlan();
    const std::vector<std::uint32_t> samples{70, 5, 127, 64};
    std::vector<std::uint8_t> flipped;
    const std::vector<float> base = Costs(cover, samples, flipped);
    EXPECT_EQ(flipped, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    for (float c : base) EXPECT_TRUE(c > 0 && std::isfinite(c));

    cover.Toggle(5);
    cover.Toggle(127);
    cover.Toggle(127);
    cover.PlanNextFlip(70);
    std::vector<float> now = Costs(cover, samples, flipped);
    EXPECT_EQ(flipped, (std::vector<std::uint8_t>{0, 1, 0, 0}));
    EXPECT_EQ(now, (std::vector<float>{base[0], -base[1], base[2], base[3]}));

    cover.AdvancePlan(1);
    now = Costs(cover, samples, flipped);
    EXPECT_EQ(flipped, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(now[0], -base[0]);
    cover.PlanNextFlip(127);
    cover.PlanNextFlip(64);
    cover.PlanNextFlip(5);
    cover.AdvancePlan(1);
    Costs(cover, samples, flipped);
    EXPECT_EQ(flipped, (std::vector<std::uint8_t>{0, 1, 1, 1}));
    EXPECT_EQ(cover.ApplyPlan(choices), (std::vector<std::uint32_t>{5, 64, 127}));

    cover.ClearPlan();
    cover.PlanNextFlip(9);
    cover.ClearPlan();
    cover.AdvancePlan(1);
    Costs(cover, samples, flipped);
    EXPECT_EQ(flipped, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_TRUE(cover.ApplyPlan(choices).empty());
}

TEST(JpegCover, RefusesViewsItCannotTake) {
    struct Row {
        const char* what;
        void (*spoil)(JpegView&);
    };
    const Row rows[] = {
        {"two components", [](JpegView& v) { v.components.pop_back(); }},
        {"a sampling factor of 0", [](JpegView& v) { v.components[1].h = 0; }},
        {"a sampling factor of 5", [](JpegView& v) { v.components[0].v = 5; }},
        {"a block missing", [](JpegView& v) { v.components[2].coefficients = v.components[2].coefficients.first(64); }},
        {"more blocks than coefficients", [](JpegView& v) { v.components[0].blocksHigh = 3; }},
        {"a part of a block", [](JpegView& v) { v.components[0].coefficients = v.components[0].coefficients.first(255); }},
        {"no blocks", [](JpegView& v) { v.components[1].blocksWide = 0; v.components[1].coefficients = {}; }},
        {"a step of 0", [](JpegView& v) { v.components[2].steps[17] = 0; }},
    };
    const UerdCosts model;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestJpeg jpeg(16, 16, {{2, 2, 2, 2}, {1, 1, 1, 1}, {1, 1, 2, 1}});
        EXPECT_NO_THROW(JpegCover(jpeg.view, model));
        row.spoil(jpeg.view);
        EXPECT_THROW(JpegCover(jpeg.view, model), std::invalid_argument);
    }
}

}  // namespace
}  // namespace velquist::stealth
