#include <gtest/gtest.h>

#include <array>
#include <random>

#include "engine/BitCodec.h"
#include "engine/GroupCodec.h"
#include "engine/JobState.h"

namespace velquist {
namespace {

using Group = std::array<std::uint8_t, 12>;

// Bits the codec may change: 2 in bytes 0,3,6,9; 1 in 1,4,7,10; 3 in 2,5,8,11.
constexpr Group kCodecBits{0x03, 0x01, 0x07, 0x03, 0x01, 0x07, 0x03, 0x01, 0x07, 0x03, 0x01, 0x07};

Group Base(int which, std::mt19937& rng) {
    Group g;
    for (auto& b : g) b = which == 0 ? 0x00 : which == 1 ? 0xFF : static_cast<std::uint8_t>(rng());
    return g;
}

// Every triple into zero, white and random groups: the tables agree with the field routines,
// extraction gives the triple back, and no bit outside the codec's fields changes.
TEST(GroupCodec, EveryTripleRoundTripsAndMatchesTheFieldRoutines) {
    std::mt19937 rng(7);
    JobState s;
    std::uint8_t out[3];
    for (int which = 0; which < 3; ++which) {
        for (std::uint32_t t = 0; t < (1u << 24); ++t) {
            const std::uint8_t m[3] = {static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(t >> 8),
                                       static_cast<std::uint8_t>(t >> 16)};
            Group g = Base(which, rng);
            Group original = g;
            GroupCodec::Embed(g.data(), m, 3);
            GroupCodec::Extract(g.data(), out, 3);
            ASSERT_TRUE(out[0] == m[0] && out[1] == m[1] && out[2] == m[2]) << t;
            for (int i = 0; i < 12; ++i)
                ASSERT_EQ(g[i] & ~kCodecBits[i], original[i] & ~kCodecBits[i]) << t;
            if ((t & 0xFFF) == 0) {  // the slow field routines on a sample
                s.PixBuf = original;
                s.MsgBuf = {m[0], m[1], m[2]};
                EmbedGroupByFields(s, 3);
                ASSERT_EQ(s.PixBuf, g) << t;
            }
        }
    }
}

TEST(GroupCodec, PartialGroupsMatchFieldRoutinesAndKeepOtherBits) {
    std::mt19937 rng(11);
    JobState s;
    for (int count = 1; count <= 2; ++count) {
        for (int which = 0; which < 3; ++which) {
            for (std::uint32_t t = 0; t < (1u << (8 * count)); ++t) {
                const std::uint8_t m[3] = {static_cast<std::uint8_t>(t),
                                           static_cast<std::uint8_t>(t >> 8), 0};
                Group g = Base(which, rng);
                s.PixBuf = g;
                s.MsgBuf = {m[0], m[1], 0x5A};
                EmbedGroupByFields(s, count);
                GroupCodec::Embed(g.data(), m, count);
                ASSERT_EQ(s.PixBuf, g);
                std::uint8_t out[3] = {0, 0, 0};
                GroupCodec::Extract(g.data(), out, count);
                ASSERT_EQ(out[0], m[0]);
                if (count == 2) {
                    ASSERT_EQ(out[1], m[1]);
                }
                JobState e;
                e.PixBuf = g;
                ExtractGroupByFields(e, count);
                ASSERT_EQ(e.MsgBuf[0], m[0]);
                if (count == 2) {
                    ASSERT_EQ(e.MsgBuf[1], m[1]);
                }
            }
        }
    }
}

TEST(GroupCodec, PartialGroupOfOneByteTouchesOnlyBytes0To2And9) {
    Group g;
    g.fill(0xFF);
    const std::uint8_t m[1] = {0x6A};
    GroupCodec::Embed(g.data(), m, 1);
    EXPECT_EQ(g, (Group{0xFE, 0xFE, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0xFF}));
}

TEST(GroupCodec, RunsEqualGroupByGroup) {
    std::mt19937 rng(3);
    std::vector<std::uint8_t> groups(12 * 1000), message(3 * 1000);
    for (auto& b : groups) b = static_cast<std::uint8_t>(rng());
    for (auto& b : message) b = static_cast<std::uint8_t>(rng());
    auto one = groups;
    for (int i = 0; i < 1000; ++i) GroupCodec::Embed(one.data() + 12 * i, message.data() + 3 * i, 3);
    GroupCodec::EmbedRun(groups.data(), message.data(), 1000);
    EXPECT_EQ(groups, one);
    std::vector<std::uint8_t> back(3 * 1000);
    GroupCodec::ExtractRun(groups.data(), back.data(), 1000);
    EXPECT_EQ(back, message);
}

}  // namespace
}  // namespace velquist
