// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "engine/codec/GroupCodec.h"
#include "support/BitCodec.h"

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

// Every triple into random groups, coded by every kernel this processor runs in runs of 2^16
// groups: each kernel embeds exactly what the field routines embed, and extracts each triple
// back as the field routines do; the field routines change no bit outside the codec's fields.
TEST(GroupCodec, EveryKernelCodesEveryTripleAsTheFieldRoutines) {
    constexpr std::uint32_t kRun = 1u << 16;
    std::mt19937 rng(7);
    FieldOperands s;
    std::vector<std::uint8_t> carrier(12 * kRun), expected(12 * kRun), message(3 * kRun),
        coded(12 * kRun), back(3 * kRun);
    for (std::uint32_t first = 0; first < (1u << 24); first += kRun) {
        for (auto& b : carrier) b = static_cast<std::uint8_t>(rng());
        for (std::uint32_t i = 0; i < kRun; ++i) {
            std::uint32_t t = first + i;
            Group g;
            std::copy_n(carrier.begin() + 12 * i, 12, g.begin());
            s.PixBuf = g;
            s.MsgBuf = {static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(t >> 8),
                        static_cast<std::uint8_t>(t >> 16)};
            std::copy(s.MsgBuf.begin(), s.MsgBuf.end(), message.begin() + 3 * i);
            EmbedGroupByFields(s, 3);
            for (int k = 0; k < 12; ++k)
                ASSERT_EQ(s.PixBuf[k] & ~kCodecBits[k], g[k] & ~kCodecBits[k]) << t;
            std::copy(s.PixBuf.begin(), s.PixBuf.end(), expected.begin() + 12 * i);
            s.MsgBuf = {0x55, 0xAA, 0x5A};
            ExtractGroupByFields(s, 3);
            ASSERT_TRUE(std::equal(s.MsgBuf.begin(), s.MsgBuf.end(), message.begin() + 3 * i)) << t;
        }
        for (GroupCodec::Kernel kernel : GroupCodec::AvailableKernels()) {
            coded = carrier;
            GroupCodec::EmbedRun(kernel, coded.data(), message.data(), kRun);
            ASSERT_TRUE(coded == expected) << GroupCodec::KernelName(kernel) << " " << first;
            GroupCodec::ExtractRun(kernel, expected.data(), back.data(), kRun);
            ASSERT_TRUE(back == message) << GroupCodec::KernelName(kernel) << " " << first;
        }
    }
}

TEST(GroupCodec, PartialGroupsMatchFieldRoutinesAndKeepOtherBits) {
    std::mt19937 rng(11);
    FieldOperands s;
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
                FieldOperands e;
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

// Runs of every length up to a few vector steps, and a pass's whole block, at every kernel:
// the vector kernels leave the groups a whole step does not fill to the table kernel, and
// touch no byte before or after the run. The run's input is allocated to its exact size so
// that the sanitizer build sees any read past it.
TEST(GroupCodec, EveryKernelCodesRunsOfEveryLengthWithinTheirBytes) {
    std::mt19937 rng(3);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 40; ++n) lengths.push_back(n);
    lengths.push_back(10922);
    constexpr std::size_t kGuard = 32;
    for (std::size_t n : lengths) {
        std::vector<std::uint8_t> carrier(12 * n + 2 * kGuard), message(3 * n);
        for (auto& b : carrier) b = static_cast<std::uint8_t>(rng());
        for (auto& b : message) b = static_cast<std::uint8_t>(rng());
        auto expected = carrier;
        for (std::size_t i = 0; i < n; ++i)
            GroupCodec::Embed(expected.data() + kGuard + 12 * i, message.data() + 3 * i, 3);
        for (GroupCodec::Kernel kernel : GroupCodec::AvailableKernels()) {
            const char* name = GroupCodec::KernelName(kernel);
            auto coded = carrier;
            GroupCodec::EmbedRun(kernel, coded.data() + kGuard, message.data(), n);
            ASSERT_TRUE(coded == expected) << name << " " << n;
            std::vector<std::uint8_t> groups(expected.begin() + kGuard,
                                             expected.begin() + kGuard + 12 * n);
            std::vector<std::uint8_t> back(3 * n + 2 * kGuard, 0xA5);
            GroupCodec::ExtractRun(kernel, groups.data(), back.data() + kGuard, n);
            ASSERT_TRUE(std::equal(message.begin(), message.end(), back.begin() + kGuard)) << name << " " << n;
            ASSERT_TRUE(std::count(back.begin(), back.begin() + kGuard, 0xA5) == kGuard &&
                        std::count(back.end() - kGuard, back.end(), 0xA5) == kGuard)
                << name << " " << n;
        }
    }
}

// Every kernel this processor has is tested above: a vector kernel missing from the list on
// a processor that has its instructions would leave it untested and unused.
TEST(GroupCodec, AvailableKernelsFollowTheProcessor) {
    const auto& kernels = GroupCodec::AvailableKernels();
    ASSERT_FALSE(kernels.empty());
    EXPECT_EQ(kernels.front(), GroupCodec::Kernel::Scalar);
#if defined(__x86_64__)
    __builtin_cpu_init();
    auto listed = [&](GroupCodec::Kernel k) {
        return std::find(kernels.begin(), kernels.end(), k) != kernels.end();
    };
    EXPECT_EQ(listed(GroupCodec::Kernel::Ssse3), __builtin_cpu_supports("ssse3") != 0);
    EXPECT_EQ(listed(GroupCodec::Kernel::Avx2), __builtin_cpu_supports("avx2") != 0);
#endif
}

}  // namespace
}  // namespace velquist
