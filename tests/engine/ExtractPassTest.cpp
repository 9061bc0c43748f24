// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <random>

#include "engine/ExtractPass.h"
#include "engine/OpenedExtraction.h"
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

// What stands at the output name when the pass ends decides nothing by itself: the commit
// replaces only what the user agreed to (nothing, or that very file), whatever appeared or
// was swapped in meanwhile stays, and an output never shows under a temporary name while the
// file system can keep it nameless.
TEST(ExtractPass, OutputReplacesOnlyWhatTheUserAgreedTo) {
    using Bytes = std::vector<std::uint8_t>;
    struct Row {
        const char* name;
        std::optional<Bytes> atCheck;    // what stands at the name when the user is asked
        std::optional<Bytes> duringPass;  // what stands there by the end of the pass
        bool completes;
        bool madeAnew = true;  // whatever stood there is deleted and written again
    };
    const Bytes agreed{'a', 'g', 'r', 'e', 'e', 'd'}, other{'o', 't', 'h', 'e', 'r'};
    const std::vector<Row> rows{
        {"free, stays free", std::nullopt, std::nullopt, true},
        {"free, taken meanwhile", std::nullopt, other, false},
        {"agreed file, still there", agreed, agreed, true, false},
        {"agreed file, swapped for another", agreed, other, false},
        {"agreed file, made anew with its bytes", agreed, agreed, false},
        {"agreed file, gone meanwhile", agreed, std::nullopt, true},
    };
    for (bool named : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (named ? ", named temporary" : ""));
            PassHarness h;
            h.platform.Files().NameTemporaryFiles(named);
            h.MakeCarrier();
            auto message = h.MakeMessage(RandomBytes(3000, 5));
            h.Hide();
            std::string out = h.dir.File("output.txt");
            if (row.atCheck) WriteAll(out, *row.atCheck);
            OpenedExtraction opened = OpenForExtraction(h.ctx, {h.carrierPath, {}}, {});
            ASSERT_TRUE(opened.outcome.completed());
            Extraction& extraction = *opened.extraction;
            ASSERT_TRUE(extraction.CheckOutput(out).verdict.completed());
            std::vector<std::size_t> namesDuringPass;
            bool changed = false;
            h.platform.OnYield([&] {
                namesDuringPass.push_back(ListFolder(h.dir.path()).size());
                if (changed || !row.madeAnew) return;
                changed = true;
                // A new file, even where its inode number is the old one's again.
                ::unlink(out.c_str());
                if (row.duringPass) WriteAll(out, *row.duringPass);
            });
            Outcome outcome = extraction.Run(out);
            extraction.Close();
            EXPECT_EQ(outcome.completed(), row.completes);
            if (row.completes) {
                EXPECT_EQ(ReadAll(out), message);
            } else {
                EXPECT_EQ(outcome.kind, OutcomeKind::OutputFailure);
                EXPECT_EQ(outcome.cause, FileCause::Changed);
                EXPECT_EQ(ReadAll(out), *row.duringPass);
            }
            std::size_t before = 2 + (row.atCheck ? 1 : 0);  // carrier, message, old output
            ASSERT_FALSE(namesDuringPass.empty());
            EXPECT_EQ(namesDuringPass.front(), before + (named ? 1 : 0));
            EXPECT_EQ(ListFolder(h.dir.path()).size(), 2u + (row.completes || row.duringPass ? 1 : 0));
        }
    }
}

// The wipe that follows an extraction goes through the descriptor the extraction read: a name
// that leads to another picture by then leaves that picture's message alone.
TEST(ExtractPass, WipeAfterTheExtractionWipesThePictureTheMessageCameFrom) {
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(90, 6));
    h.Hide();
    std::string other = h.dir.File("other.bmp");
    WriteAll(other, h.Carrier());
    OpenedExtraction opened = OpenForExtraction(h.ctx, {h.carrierPath, {}}, {});
    ASSERT_TRUE(opened.outcome.completed());
    Extraction& extraction = *opened.extraction;
    ASSERT_TRUE(extraction.Run(h.dir.File("output.txt")).completed());
    std::string moved = h.dir.File("moved.bmp");
    ASSERT_EQ(::rename(h.carrierPath.c_str(), moved.c_str()), 0);
    ASSERT_EQ(::rename(other.c_str(), h.carrierPath.c_str()), 0);
    ASSERT_TRUE(extraction.Wipe().completed());
    extraction.Close();
    EXPECT_EQ(GetLE32(ReadAll(moved), 6), 0u);
    EXPECT_EQ(GetLE32(h.Carrier(), 6), 0x10000000u | 90u);
}

}  // namespace
}  // namespace velquist
