#include <gtest/gtest.h>

#include "engine/CarrierFormat.h"
#include "engine/CarrierWipe.h"
#include "engine/GroupCodec.h"
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
        WipeCarrier(h.platform.Files(), 1, h.carrierPath);
        auto after = h.Carrier();
        ASSERT_EQ(after.size(), before.size());
        EXPECT_EQ(GetLE32(after, 6), 0u);
        EXPECT_EQ(std::string(after.begin() + 54, after.begin() + 57), "txt");
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
    WipeCarrier(h.platform.Files(), 1, h.carrierPath);
    auto after = h.Carrier();
    EXPECT_EQ(after.size(), bytes.size());
    EXPECT_EQ(GetLE32(after, 6), 0u);
}

TEST(CarrierWipe, MarkerIsZeroEvenWhenTheRestFails) {
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(30, 4));
    h.Hide("pw", true);
    int writes = 0;
    h.platform.Files().SetFaultHook([&](FileOp op, int) { return op == FileOp::Write && ++writes == 2; });
    EXPECT_THROW(WipeCarrier(h.platform.Files(), 1, h.carrierPath), FileError);
    EXPECT_EQ(GetLE32(h.Carrier(), 6), 0u);
    EXPECT_FALSE(h.platform.Files().IsOpen(1));
    h.platform.Files().SetFaultHook({});
    EXPECT_THROW(WipeCarrier(h.platform.Files(), 1, h.dir.File("missing.bmp")), FileError);
    EXPECT_FALSE(Exists(h.dir.File("missing.bmp")));
}

}  // namespace
}  // namespace velquist
