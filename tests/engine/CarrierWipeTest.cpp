// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/CarrierWipe.h"
#include "engine/codec/GroupCodec.h"
#include "engine/format/CarrierFormat.h"
#include "platform/NumberedFiles.h"
#include "support/PassHarness.h"

namespace velquist {
namespace {

using namespace velquist::testing;

TEST(CarrierWipe, LeavesNoPasswordByteAndNoMessageBitBehind) {
    for (std::size_t length : {0u, 1u, 2u, 3u, 10u, 7497u}) {
        PassHarness h;
        auto before = h.MakeCarrier();
        h.MakeMessage(RandomBytes(length, 4));
        h.Hide("secret", true);
        h.WipeCarrierFile();
        auto after = h.Carrier();
        ASSERT_EQ(after.size(), before.size());
        EXPECT_EQ(GetLE32(after, 6), 0u);
        EXPECT_EQ(std::string(after.begin() + 54, after.begin() + 57), "   ");
        EXPECT_EQ(after[57], 0);
        EXPECT_EQ(std::string(after.begin() + 58, after.begin() + 66), "        ");
        // Every stored message byte now reads as 0, and nothing past the groups changed.
        std::size_t end = 66 + 12 * ((length + 2) / 3);
        for (std::size_t g = 66; g < end; g += 12) {
            std::uint8_t m[3];
            GroupCodec::Extract(after.data() + g, m, 3);
            std::size_t inGroup = std::min<std::size_t>(3, length - (g - 66) / 4);
            for (std::size_t i = 0; i < inGroup; ++i) ASSERT_EQ(m[i], 0) << length << " " << g;
        }
        EXPECT_TRUE(std::equal(after.begin() + static_cast<long>(end), after.end(),
                               before.begin() + static_cast<long>(end)));
        EXPECT_TRUE(std::equal(after.begin() + 10, after.begin() + 54, before.begin() + 10));
        EXPECT_FALSE(h.platform.Files().IsOpen(1));
    }
}

TEST(CarrierWipe, CraftedLengthClearsOnlyTheGroupsThatExist) {
    PassHarness h;
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10FFFFFF);
    WriteAll(h.carrierPath, bytes);
    h.WipeCarrierFile();
    auto after = h.Carrier();
    EXPECT_EQ(after.size(), bytes.size());
    EXPECT_EQ(GetLE32(after, 6), 0u);
}

// Cut short anywhere, a wipe leaves a carrier that still claims its data, so that the wipe
// can simply run again; the second wipe leaves no password and no message bit behind.
TEST(CarrierWipe, WipeCutShortAnywhereCanBeFinishedByAnother) {
    int total = 0;
    for (int k = 1; total == 0 || k <= total; ++k) {
        PassHarness h;
        h.MakeCarrier();
        h.MakeMessage(RandomBytes(30, 4));
        h.Hide("pw", true);
        int seen = 0;
        h.platform.Files().SetFaultHook([&](FileOp, int) { return ++seen == k; });
        bool failed = false;
        try {
            h.WipeCarrierFile();
        } catch (const FileError&) {
            failed = true;
        }
        h.platform.Files().SetFaultHook({});
        if (!failed) {
            total = k - 1;
            break;
        }
        EXPECT_FALSE(h.platform.Files().IsOpen(1)) << k;
        auto cut = h.Carrier();
        // Only the last flush comes after the marker word is zeroed.
        if (GetLE32(cut, 6) == 0) {
            EXPECT_EQ(cut[57], 0) << k;
            continue;
        }
        EXPECT_EQ(GetLE32(cut, 6), 0x18000000u | 30u) << k;
        h.WipeCarrierFile();
        auto after = h.Carrier();
        EXPECT_EQ(GetLE32(after, 6), 0u) << k;
        EXPECT_EQ(std::string(after.begin() + 54, after.begin() + 66), "   " + std::string(1, '\0') + "        ")
            << k;
        for (std::size_t g = 66; g < 66 + 10 * 12; g += 12) {
            std::uint8_t m[3];
            GroupCodec::Extract(after.data() + g, m, 3);
            EXPECT_EQ(m[0] | m[1] | m[2], 0) << k << " " << g;
        }
    }
    EXPECT_GT(total, 5);
    PassHarness h;
    EXPECT_EQ(WipeCommand(h.platform.Files(), h.dir.File("missing.bmp")).kind,
              OutcomeKind::CarrierGone);
    EXPECT_FALSE(Exists(h.dir.File("missing.bmp")));
}

}  // namespace
}  // namespace velquist
