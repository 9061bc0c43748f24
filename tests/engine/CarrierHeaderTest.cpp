#include <gtest/gtest.h>

#include "engine/CarrierFormat.h"
#include "engine/CarrierHeader.h"
#include "platform/NumberedFiles.h"
#include "support/CarrierBuilder.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;

CarrierHeader ReadHeaderOf(const std::vector<std::uint8_t>& bytes) {
    TempDir dir;
    WriteAll(dir.File("c.bmp"), bytes);
    NumberedFiles files;
    files.OpenReadOnly(1, dir.File("c.bmp"));
    return ReadCarrierHeader(files, 1);
}

TEST(CarrierFormat, CapacityAtTheBoundary) {
    // 100 x 100 pixels with a 54-byte header: F - O = 30,000.
    EXPECT_TRUE(carrier::MessageFits(7497, 30054, 54));
    EXPECT_FALSE(carrier::MessageFits(7498, 30054, 54));
    EXPECT_EQ(carrier::LargestMessage(30054, 54), 7497);
    EXPECT_TRUE(carrier::MessageFits(0, 66, 54));
    EXPECT_FALSE(carrier::MessageFits(0, 65, 54));
    EXPECT_EQ(carrier::LargestMessage(65, 54), -1);
    EXPECT_EQ(carrier::LargestMessage(66, 54), 0);
    EXPECT_EQ(carrier::LargestMessage(std::int64_t{1} << 40, 54), carrier::kMaxMessageLength);
    EXPECT_EQ(carrier::PayloadBytes(4), 36);
}

TEST(CarrierHeader, ReadsAnOrdinaryPicture) {
    CarrierBuilder b;
    auto bytes = b.Build();
    CarrierHeader h = ReadHeaderOf(bytes);
    EXPECT_FALSE(h.damaged());
    EXPECT_EQ(h.fileLength, 30054);
    EXPECT_EQ(h.bitCount, 24);
    EXPECT_EQ(h.pixelOffset, 54);
    EXPECT_FALSE(h.holdsData());
    EXPECT_TRUE(h.hasHeaderGroup);
}

TEST(CarrierHeader, ReadsAStoredMessageHeader) {
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x1800000A);
    bytes[54] = 't';
    bytes[55] = 'x';
    bytes[56] = 't';
    bytes[57] = 3;
    bytes[58] = 'a';
    bytes[59] = 'b';
    bytes[60] = 'c';
    CarrierHeader h = ReadHeaderOf(bytes);
    EXPECT_TRUE(h.holdsData());
    EXPECT_TRUE(h.isProtected());
    EXPECT_TRUE(h.isVersion1());
    EXPECT_EQ(h.messageLength(), 10u);
    EXPECT_EQ(h.SafeExtension(), "txt");
    EXPECT_TRUE(h.passwordReadable);
    EXPECT_EQ(h.StoredPassword(), "abc");
    EXPECT_TRUE(h.storedMessageFits());
}

// A file cut short at every length up to past the header group is never read out of bounds.
TEST(CarrierHeader, TruncatedAtEveryFieldIsDamagedOrShort) {
    auto full = CarrierBuilder{}.Build();
    for (std::size_t len = 0; len <= 70; ++len) {
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<long>(len));
        CarrierHeader h = ReadHeaderOf(cut);
        ASSERT_EQ(h.fileLength, static_cast<std::int64_t>(len));
        if (len < 30) {
            EXPECT_EQ(h.damage, CarrierDamage::TooShort) << len;
        } else if (len < 54) {
            EXPECT_EQ(h.damage, CarrierDamage::OffsetBeyondEnd) << len;
        } else {
            EXPECT_FALSE(h.damaged()) << len;
            EXPECT_EQ(h.hasHeaderGroup, len >= 66) << len;
        }
    }
}

TEST(CarrierHeader, PixelOffsetOutOfRangeIsDamaged) {
    struct Case {
        std::int64_t offset;
        CarrierDamage damage;
    };
    for (Case c : {Case{-1, CarrierDamage::OffsetBelowHeader}, Case{0, CarrierDamage::OffsetBelowHeader},
                   Case{29, CarrierDamage::OffsetBelowHeader}, Case{30, CarrierDamage::None},
                   Case{30054, CarrierDamage::None}, Case{30055, CarrierDamage::OffsetBeyondEnd},
                   Case{0x7FFFFFFF, CarrierDamage::OffsetBeyondEnd}}) {
        auto bytes = CarrierBuilder{}.Build();
        PutLE32(bytes, 10, static_cast<std::uint32_t>(c.offset));
        CarrierHeader h = ReadHeaderOf(bytes);
        EXPECT_EQ(h.damage, c.damage) << c.offset;
    }
}

TEST(CarrierHeader, StoredLengthBeyondThePictureDoesNotFit) {
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10000000 | 7497);
    EXPECT_TRUE(ReadHeaderOf(bytes).storedMessageFits());
    PutLE32(bytes, 6, 0x10000000 | 7498);
    EXPECT_FALSE(ReadHeaderOf(bytes).storedMessageFits());
}

TEST(CarrierHeader, PasswordLengthPastTheEndIsUnreadable) {
    auto bytes = CarrierBuilder{}.Build();
    bytes.resize(54 + 12);
    bytes[57] = 200;
    CarrierHeader h = ReadHeaderOf(bytes);
    EXPECT_TRUE(h.hasHeaderGroup);
    EXPECT_FALSE(h.passwordReadable);
}

TEST(CarrierHeader, UnsafeExtensionBytesBecomeUnderscores) {
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10000001);
    const std::uint8_t cases[][3] = {{'/', '.', '.'}, {'\\', 'a', 0}, {0x80, 0xFF, 0x1F}, {'a', '~', 'Z'}};
    const char* expected[] = {"_..", "_a_", "___", "a~Z"};
    for (int i = 0; i < 4; ++i) {
        std::copy(cases[i], cases[i] + 3, bytes.begin() + 54);
        EXPECT_EQ(ReadHeaderOf(bytes).SafeExtension(), expected[i]);
    }
}

}  // namespace
}  // namespace velquist
