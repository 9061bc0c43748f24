// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/stealth/SegmentPlan.h"
#include "engine/stealth/StealthCapacity.h"

namespace velquist::stealth {
namespace {

TEST(StealthCapacity, SegmentsAreCutByTheFloorsAndNeedTwoPositionsABit) {
    struct Row {
        std::uint64_t samples, length;
        bool fits;
        std::vector<Segment> segments;  // when it fits
    };
    const std::uint64_t M = 1u << 20;
    const Row rows[] = {
        {2048, 1, false, {}},
        {2049, 1, false, {}},
        {2048 + 16, 1, true, {{0, 16, 0, 8, 2}}},
        {2048 + 17, 1, true, {{0, 17, 0, 8, 2}}},  // the last position is never coded
        {2048 + 15, 1, false, {}},
        {2048 + 100, 0, false, {}},
        {2048 + M, 1000, true, {{0, M, 0, 8000, 131}}},
        // Two segments of M / 2 + 1 positions; 8 bits split 4 + 4.
        {2048 + M + 2, 1, true, {{0, M / 2 + 1, 0, 4, (M / 2 + 1) / 4}, {M / 2 + 1, M / 2 + 1, 4, 4, (M / 2 + 1) / 4}}},
        // Three segments of 699,051 positions; 8 bits split 2, 3, 3.
        {2048 + 2 * M + 1, 1, true, {{0, 699051, 0, 2, 349525}, {699051, 699051, 2, 3, 233017}, {1398102, 699051, 5, 3, 233017}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.samples << " samples, L = " << row.length);
        auto plan = SegmentPlan::For(row.samples, row.length);
        ASSERT_EQ(plan.has_value(), row.fits);
        if (!plan) continue;
        ASSERT_EQ(plan->Segments().size(), row.segments.size());
        for (std::size_t s = 0; s < row.segments.size(); ++s) {
            const Segment& got = plan->Segments()[s];
            const Segment& want = row.segments[s];
            EXPECT_EQ(std::tie(got.firstPosition, got.positions, got.firstBit, got.bits, got.width),
                      std::tie(want.firstPosition, want.positions, want.firstBit, want.bits, want.width));
        }
    }
}

TEST(StealthCapacity, LargestSizesFitExactlyAndOneByteMoreDoesNot) {
    for (std::uint64_t samples : {2048u + 16u, 2048u + 700u, 90000u, 1050000u, 3146000u, 36000000u}) {
        SCOPED_TRACE(samples);
        const std::uint64_t largest = StealthCapacity::LargestPayload(samples);
        ASSERT_TRUE(SegmentPlan::For(samples, largest));
        EXPECT_FALSE(SegmentPlan::For(samples, largest + 1));
        for (std::uint64_t name : {0u, 9u}) {
            auto file = StealthCapacity::LargestFile(samples, name);
            if (largest < StealthCapacity::PayloadLength(0, name)) {
                EXPECT_EQ(file, std::nullopt);
                continue;
            }
            ASSERT_TRUE(file);
            EXPECT_LE(StealthCapacity::PayloadLength(*file, name), largest);
            EXPECT_GT(StealthCapacity::PayloadLength(*file + 1, name), largest);
            auto safe = StealthCapacity::SafeFile(samples, name);
            if (!safe) continue;
            EXPECT_LE(8 * StealthCapacity::PayloadLength(*safe, name), samples / 10);
            EXPECT_GT(80 * StealthCapacity::PayloadLength(*safe + 1, name), samples);
        }
    }
    EXPECT_EQ(StealthCapacity::LargestPayload(2048), 0u);
    // 65,536 plaintext bytes take one piece, one more takes two.
    EXPECT_EQ(StealthCapacity::PayloadLength(65536), 24u + 65536u + 17u);
    EXPECT_EQ(StealthCapacity::PayloadLength(65537), 24u + 65537u + 34u);
    EXPECT_EQ(StealthCapacity::PayloadLength(0, 0), 24u + 2u + 17u);
}

}  // namespace
}  // namespace velquist::stealth
