// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/bytes/ByteReader.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace velquist::bytes {
namespace {

const std::array<std::uint8_t, 6> kBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};

TEST(ByteReader, ReadsBothByteOrdersAndMovesPastWhatItRead) {
    ByteReader r(kBytes);
    EXPECT_EQ(r.U16BE(), 0x0102);
    EXPECT_EQ(r.U16LE(), 0x0403);
    EXPECT_EQ(r.Position(), 4u);
    ByteReader again(kBytes);
    EXPECT_EQ(again.U32LE(), 0x04030201u);
    EXPECT_EQ(again.U8(), 0x05);
    ByteReader big(kBytes);
    big.Skip(1);
    EXPECT_EQ(big.U32BE(), 0x02030405u);
    EXPECT_EQ(big.Remaining(), 1u);
}

// A read that does not fit throws and leaves the position where it was.
TEST(ByteReader, ReadPastTheEndIsShortAndMovesNothing) {
    struct Case {
        const char* name;
        std::size_t start;
        std::function<void(ByteReader&)> read;
    };
    const Case cases[] = {
        {"byte at the end", 6, [](ByteReader& r) { r.U8(); }},
        {"word over the end", 5, [](ByteReader& r) { r.U16BE(); }},
        {"long word over the end", 3, [](ByteReader& r) { r.U32LE(); }},
        {"skip past the end", 2, [](ByteReader& r) { r.Skip(5); }},
        {"bytes past the end", 0, [](ByteReader& r) { r.Bytes(7); }},
        {"sub-span past the end", 4, [](ByteReader& r) { r.Sub(3); }},
        {"seek past the end", 1, [](ByteReader& r) { r.Seek(7); }},
        {"huge count", 1, [](ByteReader& r) { r.Skip(~std::size_t{0}); }},
    };
    for (const Case& c : cases) {
        ByteReader r(kBytes);
        r.Seek(c.start);
        EXPECT_THROW(c.read(r), ShortInput) << c.name;
        EXPECT_EQ(r.Position(), c.start) << c.name;
    }
}

TEST(ByteReader, SubReaderCannotReachBeyondItsBytes) {
    ByteReader r(kBytes);
    r.Skip(1);
    ByteReader chunk = r.Sub(3);
    EXPECT_EQ(r.Position(), 4u);
    EXPECT_EQ(chunk.Size(), 3u);
    EXPECT_EQ(chunk.U16BE(), 0x0203);
    EXPECT_THROW(chunk.U16BE(), ShortInput);
    EXPECT_EQ(chunk.U8(), 0x04);
    EXPECT_TRUE(chunk.AtEnd());
    EXPECT_EQ(r.Rest().size(), 2u);
}

}  // namespace
}  // namespace velquist::bytes
