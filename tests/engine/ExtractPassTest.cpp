// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>

#include "engine/ExtractPass.h"
#include "engine/format/CarrierFormat.h"
#include "support/PassHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;

TEST(ExtractPass, AbcGroupGivesExactlyThreeBytes) {
    PassHarness h;
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10000003);
    const std::uint8_t group[12] = {0xFD, 0xFE, 0xFC, 0xFE, 0xFE, 0xFC, 0xFF, 0xFE, 0xFC, 0xFD, 0xFF, 0xF9};
    std::copy(group, group + 12, bytes.begin() + 66);
    WriteAll(h.carrierPath, bytes);
    h.job.ImagePath = h.carrierPath;
    ASSERT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed);
    EXPECT_EQ(ReadAll(h.dir.File("output.txt")), (std::vector<std::uint8_t>{0x61, 0x62, 0x63}));
    EXPECT_EQ(h.progress.percent, std::vector<int>{100});
    EXPECT_TRUE(h.platform.boxes().empty());
}

struct RoundTrip {
    std::int32_t width;
    std::uint32_t offset;
};

// Every length mod 3, several pixel-data offsets and row widths with alignment bytes.
TEST(ExtractPass, HideThenExtractGivesBackTheIdenticalBytes) {
    const RoundTrip shapes[] = {{100, 54}, {101, 54}, {99, 122}, {102, 138}, {33, 54}};
    const std::size_t lengths[] = {0, 1, 2, 3, 4, 5, 300, 301, 302, 2000};
    for (RoundTrip shape : shapes) {
        for (std::size_t length : lengths) {
            PassHarness h;
            CarrierBuilder b;
            b.width = shape.width;
            b.pixelOffset = shape.offset;
            b.seed = static_cast<std::uint32_t>(length + 1);
            auto before = h.MakeCarrier(b);
            auto message = h.MakeMessage(RandomBytes(length, static_cast<std::uint32_t>(length)));
            h.Hide();
            ASSERT_EQ(h.Carrier().size(), before.size());
            ASSERT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed);
            ASSERT_EQ(ReadAll(h.dir.File("output.txt")), message) << shape.width << " " << length;
        }
    }
}

TEST(ExtractPass, ThousandsOfRandomLengthsRoundTrip) {
    std::mt19937 rng(2024);
    PassHarness h;
    auto pristine = CarrierBuilder{}.Build();
    for (int i = 0; i < 2000; ++i) {
        WriteAll(h.carrierPath, pristine);
        h.job.ImagePath = h.carrierPath;
        std::size_t length = rng() % 7498;
        auto message = h.MakeMessage(RandomBytes(length, rng()));
        h.Hide();
        ASSERT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed);
        ASSERT_EQ(ReadAll(h.dir.File("output.txt")), message) << length;
    }
    EXPECT_TRUE(h.platform.boxes().empty());  // the passes leave telling the user to the caller
}

TEST(ExtractPass, LongerExistingOutputEndsAtExactlyTheMessageLength) {
    PassHarness h;
    h.MakeCarrier();
    auto message = h.MakeMessage(RandomBytes(4, 1));
    h.Hide();
    WriteAll(h.dir.File("output.txt"), RandomBytes(5000, 2));
    ASSERT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed);
    EXPECT_EQ(ReadAll(h.dir.File("output.txt")), message);
    EXPECT_EQ(ListFolder(h.dir.path()),
              (std::vector<std::string>{"carrier.bmp", "message.txt", "output.txt"}));
}

TEST(ExtractPass, StoredLengthBeyondThePictureIsDamagedAndWritesNothing) {
    PassHarness h;
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10000000 | 7498);
    WriteAll(h.carrierPath, bytes);
    h.job.ImagePath = h.carrierPath;
    EXPECT_EQ(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Damaged);
    EXPECT_FALSE(Exists(h.dir.File("output.txt")));
    EXPECT_EQ(ListFolder(h.dir.path()), std::vector<std::string>{"carrier.bmp"});
}

TEST(ExtractPass, OutputThatCannotBeWrittenFailsAndLeavesNothing) {
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(10, 1));
    h.Hide();
    h.platform.ClearRecords();
    ::mkdir(h.dir.File("output.txt").c_str(), 0755);  // a folder of that name
    EXPECT_NE(h.Extract(h.dir.File("output.txt")).kind, OutcomeKind::Completed);
    EXPECT_NE(h.Extract(h.dir.File("missing/output.txt")).kind, OutcomeKind::Completed);
    EXPECT_EQ(ListFolder(h.dir.path()),
              (std::vector<std::string>{"carrier.bmp", "message.txt", "output.txt"}));
}

}  // namespace
}  // namespace velquist
