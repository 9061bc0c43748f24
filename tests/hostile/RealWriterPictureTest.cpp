// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "ImageMagick.h"
#include "WorkflowHarness.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/BmpHeader.h"
#include "support/PassHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

// Bits the codec may change in each byte of a group.
constexpr std::uint8_t kCodecBits[12] = {3, 1, 7, 3, 1, 7, 3, 1, 7, 3, 1, 7};

enum class Patch { None, ToVersion4, TopDown };

struct Variant {
    std::string name;
    int width;
    int height;
    std::string options;
    std::string coder;
    Patch patch;
    std::int32_t pixelOffset;
};

BmpHeader HeaderOf(const std::string& path) {
    NumberedFiles files;
    files.OpenReadOnly(1, path);
    BmpHeader header = ReadBmpHeader(files, 1);
    files.Close(1);
    return header;
}

// ImageMagick writes the version 5 info header (124 bytes); the version 4 one is the same
// without its last 16 bytes, so the pixel data starts at 122.
void ToVersion4(std::vector<std::uint8_t>& bytes) {
    if (GetLE32(bytes, 14) != 124) return;
    bytes.erase(bytes.begin() + 14 + 108, bytes.begin() + 14 + 124);
    PutLE32(bytes, 14, 108);
    PutLE32(bytes, 10, GetLE32(bytes, 10) - 16);
    PutLE32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
}

// A negative height stores the top row first; the rows stay as they are, so the picture
// simply reads upside down.
void ToTopDown(std::vector<std::uint8_t>& bytes) {
    PutLE32(bytes, 22, static_cast<std::uint32_t>(-static_cast<std::int32_t>(GetLE32(bytes, 22))));
}

std::string MakePicture(const Variant& v, const TempDir& dir) {
    std::string path = dir.File(v.name + ".bmp");
    ImageMagick::Write(v.width, v.height, v.options, v.coder, path);
    if (v.patch == Patch::None) return path;
    auto bytes = ReadAll(path);
    if (v.patch == Patch::ToVersion4) ToVersion4(bytes);
    if (v.patch == Patch::TopDown) ToTopDown(bytes);
    WriteAll(path, bytes);
    return path;
}

// The carrier bits a hide of `length` bytes may change at file offset `at`.
std::uint8_t ChangeableBits(std::int64_t at, std::int64_t o, std::int64_t length) {
    if (at < o) return 0;
    if (at < o + carrier::kHeaderGroupSize) return 0xFF;
    if (at >= o + carrier::PayloadBytes(length)) return 0;
    return kCodecBits[(at - o - carrier::kHeaderGroupSize) % carrier::kGroupSize];
}

TEST(RealWriterPictures, HideAndExtractRoundTripAndThePictureStillDecodes) {
    if (!ImageMagick::Available()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string truecolor = "-type TrueColor";
    const std::vector<Variant> variants{
        {"54-byte header", 33, 17, truecolor, "BMP3", Patch::None, 54},
        {"version 4 header", 33, 17, truecolor + " -define bmp:format=bmp4", "BMP",
         Patch::ToVersion4, 122},
        {"version 5 header", 33, 17, truecolor, "BMP", Patch::None, 138},
        {"one pixel wide", 1, 40, truecolor, "BMP3", Patch::None, 54},
        {"two pixels wide", 2, 30, truecolor, "BMP3", Patch::None, 54},
        {"odd width, version 5", 35, 7, truecolor, "BMP", Patch::None, 138},
        {"top-down", 33, 17, truecolor, "BMP3", Patch::TopDown, 54},
    };
    for (const auto& v : variants) {
        PassHarness h;
        std::string path = MakePicture(v, h.dir);
        BmpHeader header = HeaderOf(path);
        ASSERT_EQ(header.bitCount, 24) << v.name;
        ASSERT_EQ(header.pixelOffset, v.pixelOffset) << v.name;
        auto original = ReadAll(path);
        auto before = ImageMagick::DecodeRgb(path);
        ASSERT_EQ(before.size(), static_cast<std::size_t>(v.width * v.height * 3)) << v.name;

        // As long a message as fits, so that every group of the picture is written.
        std::int64_t length = carrier::LargestMessage(header.fileLength, header.pixelOffset);
        auto message = h.MakeMessage(RandomBytes(static_cast<std::size_t>(length), 3));
        h.job.ImagePath = path;
        h.Hide();
        ASSERT_EQ(h.lastHide.kind, OutcomeKind::Completed) << v.name;
        EXPECT_EQ(ReadAll(path).size(), original.size()) << v.name;
        ASSERT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed) << v.name;
        EXPECT_EQ(ReadAll(h.dir.File("output.txt")), message) << v.name;

        auto after = ImageMagick::DecodeRgb(path);
        ASSERT_EQ(after.size(), before.size()) << v.name << ": no longer decodes";
        std::size_t rowBytes = CarrierBuilder::RowBytes(v.width, 24);
        int changed = 0;
        for (int y = 0; y < v.height; ++y) {
            int row = v.patch == Patch::TopDown ? y : v.height - 1 - y;
            for (int x = 0; x < v.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    std::size_t i = static_cast<std::size_t>((y * v.width + x) * 3 + c);
                    // Pixels are stored blue, green, red.
                    std::int64_t at = v.pixelOffset + static_cast<std::int64_t>(row * rowBytes) +
                                      x * 3 + (2 - c);
                    std::uint8_t diff = before[i] ^ after[i];
                    changed += diff != 0;
                    EXPECT_EQ(diff & ~ChangeableBits(at, v.pixelOffset, length), 0)
                        << v.name << " pixel " << x << "," << y << " channel " << c;
                }
            }
        }
        EXPECT_GT(changed, 0) << v.name;
    }
}

TEST(RealWriterPictures, PicturesThatAreNot24BitAreRefused) {
    if (!ImageMagick::Available()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    struct Refused {
        std::string name;
        std::string options;
        std::string coder;
        std::int16_t bitCount;
    };
    const std::vector<Refused> variants{
        {"8-bit palette", "-type palette", "BMP3", 8},
        {"32-bit with alpha", "-alpha on -define bmp:format=bmp4", "BMP", 32},
    };
    for (const auto& v : variants) {
        WorkflowHarness h;
        std::string path = h.dir.File("picture.bmp");
        ImageMagick::Write(33, 17, v.options, v.coder, path);
        ASSERT_EQ(HeaderOf(path).bitCount, v.bitCount) << v.name;
        auto original = ReadAll(path);
        h.OpenCarrier(path);
        EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{texts::kNot24Bit, 16, std::nullopt}})) << v.name;
        EXPECT_EQ(h.job.ImagePath, "") << v.name;
        EXPECT_EQ(ReadAll(path), original) << v.name;
    }
}

}  // namespace
}  // namespace velquist
