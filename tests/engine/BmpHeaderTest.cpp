// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "engine/format/CarrierFormat.h"
#include "engine/format/BmpHeader.h"
#include "platform/NumberedFiles.h"
#include "support/CarrierBuilder.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;

BmpHeader ReadHeaderOf(const std::vector<std::uint8_t>& bytes) {
    TempDir dir;
    WriteAll(dir.File("c.bmp"), bytes);
    NumberedFiles files;
    files.OpenReadOnly(1, dir.File("c.bmp"));
    return ReadBmpHeader(files, 1);
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
    EXPECT_EQ(carrier::LargestMessageIn(12 + 12 * 5 + 11), 15);
}

TEST(BmpHeader, ReadsAnOrdinaryPicture) {
    CarrierBuilder b;
    auto bytes = b.Build();
    BmpHeader h = ReadHeaderOf(bytes);
    EXPECT_FALSE(h.damaged());
    EXPECT_EQ(h.fileLength, 30054);
    EXPECT_EQ(h.bitCount, 24);
    EXPECT_EQ(h.pixelOffset, 54);
    EXPECT_EQ(h.infoSize, 40u);
    EXPECT_EQ(h.width, 100);
    EXPECT_EQ(h.height, 100);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.Verdict(), OutcomeKind::Completed);
    EXPECT_FALSE(h.holdsData());
    EXPECT_TRUE(h.hasHeaderGroup);
}

TEST(BmpHeader, ReadsAStoredMessageHeader) {
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x1800000A);
    bytes[54] = 't';
    bytes[55] = 'x';
    bytes[56] = 't';
    bytes[57] = 3;
    bytes[58] = 'a';
    bytes[59] = 'b';
    bytes[60] = 'c';
    BmpHeader h = ReadHeaderOf(bytes);
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
TEST(BmpHeader, TruncatedAtEveryFieldIsDamagedOrShort) {
    auto full = CarrierBuilder{}.Build();
    for (std::size_t len = 0; len <= 70; ++len) {
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<long>(len));
        BmpHeader h = ReadHeaderOf(cut);
        ASSERT_EQ(h.fileLength, static_cast<std::int64_t>(len));
        if (len < 30) {
            EXPECT_EQ(h.damage, BmpDamage::TooShort) << len;
        } else if (len < 54) {
            EXPECT_EQ(h.damage, BmpDamage::InfoSizeOutOfRange) << len;
        } else {
            EXPECT_FALSE(h.damaged()) << len;
            EXPECT_EQ(h.hasHeaderGroup, len >= 66) << len;
        }
    }
}

TEST(BmpHeader, StructureOutOfRangeIsDamaged) {
    struct Case {
        const char* name;
        std::size_t at;  // where `value` is written, 32 bits; 0 writes the two magic bytes
        std::uint32_t value;
        BmpDamage damage;
    };
    const std::uint32_t length = 30054;
    const Case cases[] = {
        {"magic BA", 0, 'B' | 'A' << 8, BmpDamage::NotBitmap},
        {"info size 11", 14, 11, BmpDamage::InfoSizeOutOfRange},
        {"info size F - 13", 14, length - 13, BmpDamage::InfoSizeOutOfRange},
        {"info size F - 14", 14, length - 14, BmpDamage::OffsetBelowHeader},
        {"info size 0xFFFFFFFF", 14, 0xFFFFFFFF, BmpDamage::InfoSizeOutOfRange},
        {"offset -1", 10, 0xFFFFFFFF, BmpDamage::OffsetBelowHeader},
        {"offset 0", 10, 0, BmpDamage::OffsetBelowHeader},
        {"offset 30, inside the info header", 10, 30, BmpDamage::OffsetBelowHeader},
        {"offset 53, inside the info header", 10, 53, BmpDamage::OffsetBelowHeader},
        {"offset 54", 10, 54, BmpDamage::None},
        {"offset at the end", 10, length, BmpDamage::None},
        {"offset one past the end", 10, length + 1, BmpDamage::OffsetBeyondEnd},
        {"offset 0x7FFFFFFF", 10, 0x7FFFFFFF, BmpDamage::OffsetBeyondEnd},
    };
    for (const Case& c : cases) {
        auto bytes = CarrierBuilder{}.Build();
        ASSERT_EQ(bytes.size(), length);
        if (c.at == 0) {
            bytes[0] = static_cast<std::uint8_t>(c.value);
            bytes[1] = static_cast<std::uint8_t>(c.value >> 8);
        } else {
            PutLE32(bytes, c.at, c.value);
        }
        EXPECT_EQ(ReadHeaderOf(bytes).damage, c.damage) << c.name;
    }
}

// Damage outranks the bit count, which outranks compression; an info header too short to
// hold the bit count is refused as not an uncompressed picture whatever offset 28 holds.
TEST(BmpHeader, RefusalsInTheirOrder) {
    struct Case {
        const char* name;
        CarrierBuilder builder;
        std::uint32_t infoSize;
        OutcomeKind refusal;
    };
    using R = OutcomeKind;
    const Case cases[] = {
        {"run-length 8", {.compression = 1}, 40, R::NotUncompressed},
        {"run-length 4", {.compression = 2}, 40, R::NotUncompressed},
        {"bit fields", {.compression = 3}, 40, R::NotUncompressed},
        {"OS/2 24-bit run-length", {.pixelOffset = 78, .compression = 4}, 64, R::NotUncompressed},
        {"alpha bit fields", {.pixelOffset = 138, .compression = 6}, 124, R::NotUncompressed},
        {"OS/2 version 1", {}, 12, R::NotUncompressed},
        {"OS/2 version 1, 8 at offset 28", {.bitCount = 8}, 12, R::NotUncompressed},
        {"16-byte header, compression field absent", {.compression = 1}, 16, R::Completed},
        {"8-bit and compressed", {.bitCount = 8, .compression = 1}, 40, R::Not24Bit},
        {"8-bit with info size 11", {.bitCount = 8}, 11, R::Damaged},
    };
    for (const Case& c : cases) {
        auto bytes = c.builder.Build();
        PutLE32(bytes, 14, c.infoSize);
        EXPECT_EQ(ReadHeaderOf(bytes).Verdict(), c.refusal) << c.name;
    }
    auto held = CarrierBuilder{}.Build();
    PutLE32(held, 6, 0x10000001);
    held.resize(54 + 11);
    EXPECT_EQ(ReadHeaderOf(held).Verdict(), R::Damaged);
}

// A new hide uses the pixel array only: rows padded to four bytes, |height| of them, never
// the bytes after it and never past the end of the file.
TEST(BmpHeader, HideCapacityIsThePixelArray) {
    struct Case {
        const char* name;
        CarrierBuilder builder;
        std::int64_t cut;  // bytes cut off the end
        std::int64_t capacity;
    };
    const Case cases[] = {
        {"width 1", {.width = 1, .height = 10}, 0, 4 * 10},
        {"width 2", {.width = 2, .height = 10}, 0, 8 * 10},
        {"width 3", {.width = 3, .height = 10}, 0, 12 * 10},
        {"width 5", {.width = 5, .height = 10}, 0, 16 * 10},
        {"top-down", {.width = 5, .height = -10}, 0, 16 * 10},
        {"3,000 bytes after the pixels", {.width = 5, .height = 10, .trailing = 3000}, 0, 16 * 10},
        {"last row cut short", {.width = 5, .height = 10}, 7, 16 * 10 - 7},
        {"no rows", {.width = 5, .height = 0}, 0, 0},
        {"compressed", {.width = 5, .height = 10, .compression = 1}, 0, 0},
    };
    for (const Case& c : cases) {
        auto bytes = c.builder.Build();
        bytes.resize(bytes.size() - static_cast<std::size_t>(c.cut));
        BmpHeader h = ReadHeaderOf(bytes);
        EXPECT_EQ(h.hideCapacity(), c.capacity) << c.name;
        EXPECT_EQ(h.largestNewHide(), carrier::LargestMessageIn(c.capacity)) << c.name;
    }
    // Sizes whose product passes 2^63 are bounded by the file.
    auto huge = CarrierBuilder{.width = 5, .height = 10}.Build();
    PutLE32(huge, 18, 0x7FFFFFFF);
    PutLE32(huge, 22, 0x80000000);
    EXPECT_EQ(ReadHeaderOf(huge).hideCapacity(), static_cast<std::int64_t>(huge.size()) - 54);

    auto trailing = CarrierBuilder{.width = 5, .height = 10, .trailing = 3000}.Build();
    PutLE32(trailing, 6, 0x10000000 | 300);  // written before the hide was bounded
    BmpHeader h = ReadHeaderOf(trailing);
    EXPECT_TRUE(h.storedMessageFits());
    EXPECT_FALSE(h.fitsNewHide(300));
    EXPECT_TRUE(h.fitsNewHide(h.largestNewHide()));
    EXPECT_FALSE(h.fitsNewHide(h.largestNewHide() + 1));
}

// Offsets past 2 GiB are read in 64 bits; one the passes cannot hold in 32 bits is damage.
TEST(BmpHeader, PixelOffsetsPastTwoGibibytes) {
    TempDir dir;
    std::string path = dir.File("big.bmp");
    const std::int64_t length = (std::int64_t{1} << 31) + 100;
    auto head = CarrierBuilder{.width = 5, .height = 10}.Build();
    const std::uint8_t group[] = {'b', 'i', 'g', 0};
    struct Case {
        std::uint32_t offset;
        BmpDamage damage;
    };
    for (Case c : {Case{0x7FFFFFFE, BmpDamage::None}, Case{0x7FFFFFFF, BmpDamage::OffsetBeyondEnd}}) {
        PutLE32(head, 10, c.offset);
        WriteAll(path, head);
        ASSERT_EQ(::truncate(path.c_str(), length), 0);  // sparse: costs no disk space
        int fd = ::open(path.c_str(), O_WRONLY);
        ASSERT_EQ(::pwrite(fd, group, sizeof group, c.offset), static_cast<ssize_t>(sizeof group));
        ::close(fd);
        NumberedFiles files;
        files.OpenReadOnly(1, path);
        BmpHeader h = ReadBmpHeader(files, 1);
        EXPECT_EQ(h.fileLength, length);
        EXPECT_EQ(h.damage, c.damage) << c.offset;
        if (c.damage == BmpDamage::None) {
            EXPECT_EQ(h.SafeExtension(), "big");
            EXPECT_EQ(h.hideCapacity(), length - c.offset);  // the last rows lie past the end
        }
    }
}

TEST(BmpHeader, StoredLengthBeyondThePictureDoesNotFit) {
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10000000 | 7497);
    EXPECT_TRUE(ReadHeaderOf(bytes).storedMessageFits());
    PutLE32(bytes, 6, 0x10000000 | 7498);
    EXPECT_FALSE(ReadHeaderOf(bytes).storedMessageFits());
}

TEST(BmpHeader, PasswordLengthPastTheEndIsUnreadable) {
    auto bytes = CarrierBuilder{}.Build();
    bytes.resize(54 + 12);
    bytes[57] = 200;
    BmpHeader h = ReadHeaderOf(bytes);
    EXPECT_TRUE(h.hasHeaderGroup);
    EXPECT_FALSE(h.passwordReadable);
}

TEST(BmpHeader, UnsafeExtensionBytesBecomeUnderscores) {
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
