// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "support/BitCodec.h"

namespace velquist {
namespace {

using Group = std::array<std::uint8_t, 12>;

Group EmbedByFields(Group group, std::array<std::uint8_t, 3> message, int count) {
    FieldOperands s;
    s.PixBuf = group;
    s.MsgBuf = message;
    EmbedGroupByFields(s, count);
    return s.PixBuf;
}

TEST(BitCodec, EmbedsAbcIntoWhiteAndBlackGroups) {
    Group white;
    white.fill(0xFF);
    EXPECT_EQ(EmbedByFields(white, {0x61, 0x62, 0x63}, 3),
              (Group{0xFD, 0xFE, 0xFC, 0xFE, 0xFE, 0xFC, 0xFF, 0xFE, 0xFC, 0xFD, 0xFF, 0xF9}));
    Group black{};
    EXPECT_EQ(EmbedByFields(black, {0x61, 0x62, 0x63}, 3),
              (Group{0x01, 0x00, 0x04, 0x02, 0x00, 0x04, 0x03, 0x00, 0x04, 0x01, 0x01, 0x01}));
}

TEST(BitCodec, ExtractsAbcFromBothGroups) {
    for (Group g : {Group{0xFD, 0xFE, 0xFC, 0xFE, 0xFE, 0xFC, 0xFF, 0xFE, 0xFC, 0xFD, 0xFF, 0xF9},
                    Group{0x01, 0x00, 0x04, 0x02, 0x00, 0x04, 0x03, 0x00, 0x04, 0x01, 0x01, 0x01}}) {
        FieldOperands s;
        s.PixBuf = g;
        s.MsgBuf = {0x55, 0xAA, 0x00};  // stale bytes must be overwritten whole
        ExtractGroupByFields(s, 3);
        EXPECT_EQ(s.MsgBuf, (std::array<std::uint8_t, 3>{0x61, 0x62, 0x63}));
    }
}

TEST(BitCodec, PartialGroupOfOneByteChangesOnlyItsFields) {
    Group white;
    white.fill(0xFF);
    EXPECT_EQ(EmbedByFields(white, {0x6A, 0x00, 0x00}, 1),
              (Group{0xFE, 0xFE, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0xFF}));
}

TEST(BitCodec, RoutinesIgnoreValuesOutsideTheirList) {
    FieldOperands s;
    s.PixBuf.fill(0xAA);
    s.BufIdx = 3;
    for (std::int16_t v : {5, 9, 100, -8, 256}) {
        s.BitVal = v;
        PutField2(s);
        PutField3(s);
        PutField6(s);
    }
    EXPECT_EQ(s.PixBuf[3], 0xAA);
    s.BitVal = 40;  // 8 * 5
    PutField3(s);
    EXPECT_EQ(s.PixBuf[3], 0xAD);
}

TEST(BitCodec, IndexOutOfRangeThrowsAndTouchesNothing) {
    FieldOperands s;
    s.PixBuf.fill(0x11);
    s.MsgBuf.fill(0x22);
    s.BitVal = 0;
    for (std::int16_t idx : {-1, 12, 300}) {
        s.BufIdx = idx;
        EXPECT_THROW(PutField1(s), std::out_of_range);
    }
    for (std::int16_t idx : {-1, 3}) {
        s.BufIdx = idx;
        EXPECT_THROW(GetField1(s), std::out_of_range);
    }
    Group expected;
    expected.fill(0x11);
    EXPECT_EQ(s.PixBuf, expected);
    EXPECT_EQ(s.MsgBuf, (std::array<std::uint8_t, 3>{0x22, 0x22, 0x22}));
}

}  // namespace
}  // namespace velquist
