// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>

#include "support/PngMaker.h"
#include "engine/png/PngCodec.h"

namespace velquist::png {
namespace {

using namespace velquist::png::testing;

struct Refused {
    const char* name;
    Bytes file;
    PngVerdict verdict;
    PngDamage damage = PngDamage::None;
    PngUnsupported unsupported = PngUnsupported::None;
    // A fault a look does not read: a CRC of image data or of a large chunk.
    bool lookUsable = false;
};

PngLayout Look(const Bytes& file, std::vector<std::pair<std::uint64_t, std::size_t>>* reads = nullptr) {
    return LookAtPng(file.size(), [&](std::uint64_t at, std::span<std::uint8_t> into) {
        if (reads) reads->emplace_back(at, into.size());
        std::copy_n(file.begin() + static_cast<long>(at), into.size(), into.begin());
    });
}

Bytes Picture(PngRecipe recipe) { return WritePng(recipe, PatternSamples(recipe)); }

// A 9 x 7 RGB picture with a text chunk before its image data.
Bytes Good() { return InsertBeforeImage(Picture({}), Chunk("tEXt", Text("Title"))); }

Bytes Flipped(Bytes file, std::size_t at) {
    file.at(at) ^= 0x01;
    return file;
}

Bytes WithByte(Bytes file, std::size_t at, std::uint8_t value) {
    file.at(at) = value;
    return file;
}

RawChunk First(const Bytes& file, const std::string& type) {
    for (const RawChunk& c : ListChunks(file))
        if (c.type == type) return c;
    throw std::invalid_argument(type);
}

std::size_t CrcOf(const Bytes& file, const std::string& type) {
    RawChunk c = First(file, type);
    return c.offset + c.size - 1;
}

Bytes Image(const Bytes& data) { return Chunk("IDAT", data); }

// A 9 x 7 RGB picture: its header, and one built around the given chunks.
Bytes Rgb9x7() { return HeaderData(9, 7, 8, 2); }
Bytes WithImageData(const Bytes& data) { return Assemble(Rgb9x7(), Image(data)); }

Bytes RgbRows(std::uint32_t rows) { return Zlib(FilteredRows(rows, 27)); }

std::vector<Refused> RefusedPictures() {
    Bytes good = Good();
    Bytes stream = RgbRows(7);
    Bytes halves = Join({Image(Bytes(stream.begin(), stream.begin() + 10)), Chunk("tEXt", Text("between")),
                         Image(Bytes(stream.begin() + 10, stream.end()))});
    Bytes badFilter = WithByte(FilteredRows(7, 27), 28, 5);  // the second row's filter
    std::size_t textLength = First(good, "tEXt").offset;
    Bytes signature(good.begin(), good.begin() + 8);
    Bytes textFirst = Join({signature, Chunk("tEXt", Text("x")), Bytes(good.begin() + 8, good.end())});
    Bytes withoutEnd(good.begin(), good.end() - 12);
    Bytes large = InsertBeforeImage(good, Chunk("prVt", Bytes(kLookedChunkLength + 1, 7)));
    Bytes largest = InsertBeforeImage(good, Chunk("prVt", Bytes(kLookedChunkLength, 7)));
    // A huge picture of zeros compresses about a thousandfold: 64 rows of a 65535-wide RGBA
    // picture take a few kilobytes.
    Bytes bomb = Image(Zlib(Bytes(64 * (1 + 65535 * 4), 0)));
    using V = PngVerdict;
    using D = PngDamage;
    using U = PngUnsupported;
    return {
        {"palette", Picture({9, 7, 3}), V::Unsupported, D::None, U::Palette},
        {"grey", Picture({9, 7, 0}), V::Unsupported, D::None, U::Grey},
        {"grey-alpha", Picture({9, 7, 4}), V::Unsupported, D::None, U::GreyAlpha},
        {"rgb-16-bit", Picture({9, 7, 2, 16}), V::Unsupported, D::None, U::BitDepth},
        {"rgba-16-bit", Picture({9, 7, 6, 16}), V::Unsupported, D::None, U::BitDepth},
        {"animated", InsertBeforeEnd(good, Chunk("acTL", {0, 0, 0, 1, 0, 0, 0, 0})), V::Unsupported, D::None, U::Animated},
        {"rgb-transparent-colour", InsertBeforeImage(good, Chunk("tRNS", {0, 0, 0, 0, 0, 0})), V::Unsupported, D::None, U::TransparentColour},
        {"unknown-critical-chunk", InsertBeforeImage(good, Chunk("PrVc", Text("private, critical"))), V::Unsupported, D::None, U::UnknownCritical},
        {"unknown-critical-after-image", InsertBeforeEnd(good, Chunk("CrIt", {})), V::Unsupported, D::None, U::UnknownCritical},
        {"bomb-65535-square", Assemble(HeaderData(65535, 65535, 8, 6), bomb), V::Unsupported, D::None, U::TooManyPixels},
        {"one-row-past-2^28", Assemble(HeaderData(16385, 16384, 8, 2), bomb), V::Unsupported, D::None, U::TooManyPixels},
        {"2^28-pixels-in-a-few-kilobytes", Assemble(HeaderData(16384, 16384, 8, 2), bomb), V::Damaged, D::ImageDataTooShort},
        {"empty", {}, V::Damaged, D::Signature},
        {"wrong-signature", Flipped(good, 1), V::Damaged, D::Signature},
        {"bad-crc-ancillary", Flipped(good, CrcOf(good, "tEXt")), V::Damaged, D::ChunkCrc},
        {"bad-crc-header", Flipped(good, CrcOf(good, "IHDR")), V::Damaged, D::ChunkCrc},
        {"bad-crc-image-data", Flipped(good, First(good, "IDAT").offset + 9), V::Damaged, D::ChunkCrc, U::None, true},
        {"bad-crc-chunk-past-a-look", Flipped(large, CrcOf(large, "prVt")), V::Damaged, D::ChunkCrc, U::None, true},
        {"bad-crc-largest-chunk-a-look-reads", Flipped(largest, CrcOf(largest, "prVt")), V::Damaged, D::ChunkCrc},
        {"bad-crc-end", Flipped(good, good.size() - 1), V::Damaged, D::ChunkCrc},
        {"chunk-past-end", WithByte(good, textLength, 0x7F), V::Damaged, D::ChunkPastEnd},
        {"chunk-length-past-2^31", WithByte(good, textLength, 0x80), V::Damaged, D::ChunkPastEnd},
        {"chunk-type-not-letters", InsertBeforeImage(good, Chunk("tE1t", {})), V::Damaged, D::ChunkType},
        {"header-not-first", textFirst, V::Damaged, D::HeaderNotFirst},
        {"second-header", InsertBeforeImage(good, Chunk("IHDR", Rgb9x7())), V::Damaged, D::HeaderNotFirst},
        {"width-0", Assemble(HeaderData(0, 7, 8, 2), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"height-past-2^31", Assemble(HeaderData(9, 0x80000000, 8, 2), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"unknown-compression", Assemble(WithByte(Rgb9x7(), 10, 1), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"unknown-filter-method", Assemble(WithByte(Rgb9x7(), 11, 1), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"unknown-interlace", Assemble(HeaderData(9, 7, 8, 2, 2), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"colour-type-5", Assemble(HeaderData(9, 7, 8, 5), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"rgb-4-bit", Assemble(HeaderData(9, 7, 4, 2), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"header-too-long", Assemble(Join({Rgb9x7(), {0}}), Image(stream)), V::Damaged, D::HeaderMalformed},
        {"no-image-data", Assemble(Rgb9x7(), {}), V::Damaged, D::NoImageData},
        {"image-data-split", Assemble(Rgb9x7(), halves), V::Damaged, D::ImageDataSplit},
        {"missing-end", withoutEnd, V::Damaged, D::MissingEnd},
        {"end-with-data", Join({withoutEnd, Chunk("IEND", {0})}), V::Damaged, D::EndMalformed},
        {"byte-after-end", Join({good, {0}}), V::Damaged, D::BytesAfterEnd},
        {"not-zlib", WithImageData(Text("this is no zlib stream at all")), V::Damaged, D::ImageData},
        {"too-few-rows", WithImageData(RgbRows(6)), V::Damaged, D::ImageData},
        {"too-many-rows", WithImageData(RgbRows(8)), V::Damaged, D::ImageData},
        {"bytes-after-the-stream", WithImageData(Join({stream, {1, 2, 3}})), V::Damaged, D::ImageData},
        {"idat-after-the-stream", Assemble(Rgb9x7(), Join({Image(stream), Image(Text("after"))})), V::Damaged, D::ImageData},
        {"stream-cut-short", WithImageData(Bytes(stream.begin(), stream.end() - 5)), V::Damaged, D::ImageData},
        {"bad-adler32", WithImageData(Flipped(stream, stream.size() - 1)), V::Damaged, D::ImageData},
        {"unknown-row-filter", WithImageData(Zlib(badFilter)), V::Damaged, D::ImageData},
    };
}

TEST(PngRefusal, EachPictureGetsItsExactVerdict) {
    for (const Refused& r : RefusedPictures()) {
        SCOPED_TRACE(r.name);
        DecodedPng decoded = DecodePng(r.file);
        EXPECT_EQ(decoded.layout.verdict, r.verdict);
        EXPECT_EQ(decoded.layout.damage, r.damage);
        EXPECT_EQ(decoded.layout.unsupported, r.unsupported);
        EXPECT_TRUE(decoded.pixels.samples.empty());
        // Only inflating finds faults in the image data; every other verdict is the parser's.
        PngLayout parsed = ParsePng(r.file);
        EXPECT_EQ(parsed.verdict, r.damage == PngDamage::ImageData ? PngVerdict::Usable : r.verdict);
        // A look reads neither the image data nor the large chunks: only a decode finds faults
        // there.
        PngLayout looked = Look(r.file);
        if (r.lookUsable || r.damage == PngDamage::ImageData) {
            EXPECT_EQ(looked.verdict, PngVerdict::Usable);
        } else {
            EXPECT_EQ(looked.verdict, r.verdict);
            EXPECT_EQ(looked.damage, r.damage);
            EXPECT_EQ(looked.unsupported, r.unsupported);
        }
        EXPECT_TRUE(looked.chunks.empty());
    }
}

// A look at a picture of many image data chunks reads their headers only, never a byte of their
// data, and says what the parser says of the whole file.
TEST(PngRefusal, LookReadsNoImageData) {
    PngRecipe recipe{.width = 200, .height = 150, .colourType = 6, .idatSize = 200};
    Bytes file = InsertBeforeEnd(Picture(recipe), Chunk("tEXt", Text("Comment")));
    std::vector<std::pair<std::uint64_t, std::size_t>> reads;
    PngLayout looked = Look(file, &reads);
    PngLayout parsed = ParsePng(file);
    EXPECT_EQ(looked.verdict, PngVerdict::Usable);
    EXPECT_EQ(looked.width, parsed.width);
    EXPECT_EQ(looked.height, parsed.height);
    EXPECT_EQ(looked.channels(), 4);
    std::size_t imageChunks = 0;
    std::size_t bytesRead = 0;
    for (const RawChunk& c : ListChunks(file)) {
        if (c.type != "IDAT") continue;
        ++imageChunks;
        for (auto [at, count] : reads) EXPECT_TRUE(at + count <= c.offset + 8 || at >= c.offset + c.size - 4) << at;
    }
    for (auto read : reads) bytesRead += read.second;
    ASSERT_GT(imageChunks, 40u);
    EXPECT_LT(bytesRead, 20 * imageChunks);
}

// Cut at every length, a picture is damaged: short of the signature, inside a chunk, or
// between two chunks with no IEND yet; a look, which reads only the chunk headers there, says
// the same.
TEST(PngRefusal, TruncatedAtEveryLengthIsDamaged) {
    Bytes full = InsertBeforeEnd(Good(), Chunk("prVt", Text("private")));
    std::set<std::size_t> chunkEnds{8};
    for (const RawChunk& c : ListChunks(full)) chunkEnds.insert(c.offset + c.size);
    for (std::size_t length = 0; length < full.size(); ++length) {
        Bytes cut(full.begin(), full.begin() + static_cast<long>(length));
        PngDamage expected = length < 8                    ? PngDamage::Signature
                             : chunkEnds.count(length) > 0 ? PngDamage::MissingEnd
                                                           : PngDamage::ChunkPastEnd;
        DecodedPng decoded = DecodePng(cut);
        ASSERT_EQ(decoded.layout.verdict, PngVerdict::Damaged) << length;
        ASSERT_EQ(decoded.layout.damage, expected) << length;
        ASSERT_EQ(Look(cut).damage, expected) << length;
    }
}

}  // namespace
}  // namespace velquist::png
