// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sodium.h>

#include <optional>
#include <string>
#include <vector>

#include "TestJpeg.h"
#include "engine/stealth/jpeg/JpegCapacity.h"
#include "engine/stealth/jpeg/JpegSalt.h"

namespace velquist::stealth {
namespace {

using testing::ComponentShape;
using testing::TestJpeg;

// The salt is BLAKE2b-128 of the label, the size, the component count and each component's
// sampling and blocks, all 32-bit little-endian.
TEST(JpegSalt, HashesTheLabelAndTheFrameGeometry) {
    struct Row {
        std::uint32_t width, height;
        std::vector<ComponentShape> shapes;
    };
    const Row rows[] = {
        {4001, 3003, {{2, 2, 501, 376}, {1, 1, 251, 188}, {1, 1, 251, 188}}},
        {640, 480, {{1, 1, 80, 60}}},
        {0x01020304, 7, {{4, 1, 3, 1}, {1, 3, 1, 1}, {2, 2, 2, 1}}},
    };
    ASSERT_GE(sodium_init(), 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        JpegView view;
        view.width = row.width;
        view.height = row.height;
        std::vector<std::uint8_t> message;
        for (char ch : std::string("velquist format 3 jpeg")) message.push_back(static_cast<std::uint8_t>(ch));
        auto put = [&](std::uint32_t word) {
            message.push_back(static_cast<std::uint8_t>(word & 0xFF));
            message.push_back(static_cast<std::uint8_t>(word >> 8 & 0xFF));
            message.push_back(static_cast<std::uint8_t>(word >> 16 & 0xFF));
            message.push_back(static_cast<std::uint8_t>(word >> 24));
        };
        put(row.width);
        put(row.height);
        put(static_cast<std::uint32_t>(row.shapes.size()));
        for (const ComponentShape& s : row.shapes) {
            view.components.push_back({s.h, s.v, s.blocksWide, s.blocksHigh, {}, {}});
            for (std::uint32_t word : {std::uint32_t{s.h}, std::uint32_t{s.v}, s.blocksWide, s.blocksHigh}) put(word);
        }
        ASSERT_EQ(message.size(), 22 + 12 + 16 * row.shapes.size());
        std::array<std::uint8_t, 16> expected{};
        crypto_generichash(expected.data(), 16, message.data(), message.size(), nullptr, 0);
        EXPECT_EQ(JpegSalt::Of(view), expected);
    }
}

// Non-zero AC coefficients of every component count, negative ones too; DC coefficients and
// zeros do not.
TEST(JpegCapacity, CountsTheNonZeroAcCoefficientsOfAllComponents) {
    TestJpeg jpeg(16, 8, {{2, 1, 2, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}});
    jpeg.At(0, 0, 0, 0, 0) = 5;
    jpeg.At(0, 0, 0, 0, 1) = -1;
    jpeg.At(0, 0, 0, 7, 7) = 3;
    jpeg.At(0, 1, 0, 0, 0) = -300;
    jpeg.At(1, 0, 0, 1, 0) = 1;
    jpeg.At(2, 0, 0, 0, 0) = -8;
    const JpegCapacity::Counts counts = JpegCapacity::CountsOf(jpeg.view);
    EXPECT_EQ(counts.samples, 256u);
    EXPECT_EQ(counts.nonZeroAc, 3u);
}

// Safe: 8 L <= 0.1 bits per non-zero AC coefficient; largest: 0.4; never beyond two cover
// positions a payload bit. A file's size is what its sealed payload leaves under the name.
TEST(JpegCapacity, SizesFollowTheNonZeroAcCountWithinTheFormatsLimit) {
    struct Row {
        std::uint64_t samples, nonZeroAc, largest, safe;
        std::optional<std::uint64_t> largestFile, safeFile;  // under a 9-byte name
    };
    const Row rows[] = {
        {2048 + 64000, 8000, 400, 100, 400 - 24 - 17 - 2 - 9, 100 - 24 - 17 - 2 - 9},
        {2048 + 64000, 79, 3, 0, std::nullopt, std::nullopt},
        {2048 + 64000, 80, 4, 1, std::nullopt, std::nullopt},
        {2048 + 64000, 800, 40, 10, std::nullopt, std::nullopt},
        {2048 + 64000, 1760, 88, 22, 88 - 43 - 9, std::nullopt},
        // The format's limit: 160 body positions carry at most 10 bytes.
        {2048 + 160, 1000000, 10, 10, std::nullopt, std::nullopt},
        {2048, 1000000, 0, 0, std::nullopt, std::nullopt},
        // 2,000,000 bytes are 31 sealed pieces, 500,000 are 8.
        {60000000, 40000000, 2000000, 500000, 2000000 - 24 - 31 * 17 - 2 - 9, 500000 - 24 - 8 * 17 - 2 - 9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.samples << " samples, " << row.nonZeroAc << " non-zero AC");
        const JpegCapacity::Counts counts{row.samples, row.nonZeroAc};
        EXPECT_EQ(JpegCapacity::LargestPayload(counts), row.largest);
        EXPECT_EQ(JpegCapacity::SafePayload(counts), row.safe);
        EXPECT_EQ(JpegCapacity::LargestFile(counts, 9), row.largestFile);
        EXPECT_EQ(JpegCapacity::SafeFile(counts, 9), row.safeFile);
        if (row.largestFile) {
            EXPECT_EQ(JpegCapacity::LargestFile(counts), *row.largestFile + 9);
        }
    }
}

}  // namespace
}  // namespace velquist::stealth
