// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "HostilePictures.h"
#include "engine/CarrierWipe.h"
#include "engine/ExtractionJob.h"
#include "engine/format/BmpHeader.h"
#include "platform/NumberedFiles.h"
#include "support/PassHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using namespace velquist::testing::HostilePictures;

constexpr OutcomeKind kDamaged = OutcomeKind::Damaged;
constexpr OutcomeKind kHoldsData = OutcomeKind::HoldsData;
constexpr OutcomeKind kCarrierFailure = OutcomeKind::CarrierFailure;

struct HostileRow {
    std::string name;
    std::vector<std::uint8_t> bytes;
    bool folder = false;  // the picture's path names a folder
    OutcomeKind hide;     // how a hide into the picture ends
    OutcomeKind extract;  // how an extraction from it ends
};

std::vector<HostileRow> Rows() {
    const std::uint32_t holds3 = 0x10000003;
    return {
        {"empty file", Cut(0), false, kDamaged, kDamaged},
        {"one byte", Cut(1), false, kDamaged, kDamaged},
        {"29 bytes", Cut(29), false, kDamaged, kDamaged},
        {"30 bytes, pixel data past the end", Cut(30), false, kDamaged, kDamaged},
        {"pixel offset negative", WithHeader(-54, holds3), false, kDamaged, kDamaged},
        {"pixel offset most negative", WithHeader(INT32_MIN, holds3), false, kDamaged, kDamaged},
        {"pixel offset 0", WithHeader(0, holds3), false, kDamaged, kDamaged},
        {"pixel offset 29", WithHeader(29, holds3), false, kDamaged, kDamaged},
        {"pixel offset 30, inside the info header", WithHeader(30, holds3), false, kDamaged,
         kDamaged},
        {"pixel offset 53, inside the info header", WithHeader(53, holds3), false, kDamaged,
         kDamaged},
        // The file size field at offset 2 keeps its 150.
        {"magic BA", WithField(0, 'B' | 'A' << 8 | kLength << 16, holds3), false, kDamaged,
         kDamaged},
        {"info size 11", WithField(14, 11, holds3), false, kDamaged, kDamaged},
        {"info size past the end", WithField(14, kLength - 13, holds3), false, kDamaged,
         kDamaged},
        {"pixel offset at the end", WithHeader(kLength, holds3), false, kDamaged, kDamaged},
        {"pixel offset one past the end", WithHeader(kLength + 1, holds3), false, kDamaged,
         kDamaged},
        {"pixel offset largest", WithHeader(INT32_MAX, holds3), false, kDamaged, kDamaged},
        {"header group cut by the end", WithHeader(kLength - 11, holds3), false, kDamaged,
         kDamaged},
        {"stored length larger than the picture holds", WithHeader(54, 0x10FFFFFF), false,
         kHoldsData, kDamaged},
        {"stored length one byte too many", WithHeader(54, 0x10000000 | 22), false, kHoldsData,
         kDamaged},
        {"picture path is a folder", {}, true, kCarrierFailure, kCarrierFailure},
    };
}

// Puts the row's picture at `path`: its bytes, or an empty folder.
void Place(const HostileRow& row, const std::string& path) {
    if (row.folder)
        std::filesystem::create_directory(path);
    else
        WriteAll(path, row.bytes);
}

void ExpectUnchanged(const HostileRow& row, const std::string& path) {
    if (row.folder) {
        EXPECT_TRUE(std::filesystem::is_empty(path)) << row.name;
    } else {
        EXPECT_EQ(ReadAll(path), row.bytes) << row.name;
    }
}

TEST(HostileHeaders, HideRefusesAndWritesNothing) {
    for (const auto& row : Rows()) {
        PassHarness h;
        Place(row, h.carrierPath);
        h.job.ImagePath = h.carrierPath;
        h.MakeMessage({'1', '2', '3', '4'});
        h.Hide("pw", true);
        EXPECT_EQ(h.lastHide.kind, row.hide) << row.name;
        EXPECT_TRUE(h.platform.boxes().empty()) << row.name;
        EXPECT_FALSE(h.job.HiddenMark) << row.name;
        ExpectUnchanged(row, h.carrierPath);
        EXPECT_EQ(ListFolder(h.dir.path()), (std::vector<std::string>{"carrier.bmp", "message.txt"}))
            << row.name;
    }
}

TEST(HostileHeaders, ExtractionRefusesAndCreatesNoFile) {
    for (const auto& row : Rows()) {
        PassHarness h;
        Place(row, h.carrierPath);
        h.job.ImagePath = h.carrierPath;
        EXPECT_EQ(h.Extract(h.dir.File("output.txt")).kind, row.extract) << row.name;
        EXPECT_TRUE(h.platform.boxes().empty()) << row.name;
        EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2)) << row.name;
        ExpectUnchanged(row, h.carrierPath);
        EXPECT_EQ(ListFolder(h.dir.path()), std::vector<std::string>{"carrier.bmp"}) << row.name;
    }
}

// Bytes after the pixel array (a colour profile, say) are never the carrier's: a hide filled
// to capacity leaves them as they were, and one byte more is refused.
TEST(HostileHeaders, HideStopsAtTheEndOfThePixelArray) {
    const CarrierBuilder builder{.width = 5, .height = 10, .trailing = 3000};
    const std::size_t pixelsEnd = 54 + 16 * 10;
    for (std::int64_t extra : {0, 1}) {
        PassHarness h;
        auto before = h.MakeCarrier(builder);
        ASSERT_EQ(before.size(), pixelsEnd + 3000);
        h.MakeMessage(RandomBytes(static_cast<std::size_t>(36 + extra), 5));
        h.Hide();
        auto after = h.Carrier();
        ASSERT_EQ(after.size(), before.size());
        EXPECT_TRUE(std::equal(after.begin() + pixelsEnd, after.end(), before.begin() + pixelsEnd))
            << extra;
        if (extra == 0) {
            EXPECT_EQ(h.lastHide.kind, OutcomeKind::Completed);
            EXPECT_NE(after, before);
        } else {
            EXPECT_EQ(h.lastHide.kind, OutcomeKind::TooLarge);
            EXPECT_EQ(after, before);
        }
    }
}

TEST(HostileHeaders, WipingAFolderFailsAndChangesNothing) {
    TempDir dir;
    std::string path = dir.File("carrier.bmp");
    std::filesystem::create_directory(path);
    NumberedFiles files;
    Outcome wiped = WipeCommand(files, path);
    EXPECT_EQ(wiped.kind, OutcomeKind::CarrierFailure);
    EXPECT_EQ(wiped.cause, FileCause::NotRegular);
    EXPECT_FALSE(files.IsOpen(1));
    EXPECT_TRUE(std::filesystem::is_empty(path));
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"carrier.bmp"});
}

// The extension the extract command names the output after, read as the window reads it.
std::string StoredExtension(const std::string& path) {
    NumberedFiles files;
    files.OpenReadOnly(1, path);
    std::string ext = ReadBmpHeader(files, 1).SafeExtension();
    files.Close(1);
    return ext;
}

// The stored extension names the output file: whatever its bytes, the output lands in the
// output folder under a plain name, and holds exactly the message.
TEST(HostileHeaders, ExtensionBytesNeverLeaveTheOutputFolder) {
    struct Row {
        std::vector<std::uint8_t> extension;
        std::string safeName;
    };
    const std::vector<Row> rows{
        {{'/', 'e', 'x'}, "output._ex"},   {{'.', '.', '/'}, "output..._"},
        {{'\\', '.', '.'}, "output._.."},  {{0, 'x', 0}, "output._x_"},
        {{0xC4, 0xE3, 0xFF}, "output.___"}, {{0x7F, 0x80, 'a'}, "output.__a"},
        {{'\n', '\t', ' '}, "output.__ "},
    };
    const std::vector<std::uint8_t> message{'h', 'i', 'd', 'd', 'e', 'n'};
    for (const auto& row : rows) {
        PassHarness h;
        auto bytes = Holding(message, row.extension);
        WriteAll(h.carrierPath, bytes);
        h.job.ImagePath = h.carrierPath;
        std::string out = h.dir.File("out");
        std::filesystem::create_directory(out);
        ASSERT_EQ(h.Extract(out + "/output." + StoredExtension(h.carrierPath)).kind,
                  OutcomeKind::Completed)
            << row.safeName;
        EXPECT_EQ(ListFolder(out), std::vector<std::string>{row.safeName});
        EXPECT_EQ(ReadAll(out + "/" + row.safeName), message) << row.safeName;
        EXPECT_EQ(ListFolder(h.dir.path()), (std::vector<std::string>{"carrier.bmp", "out"}));
        EXPECT_EQ(ReadAll(h.carrierPath), bytes) << row.safeName;
    }
}

}  // namespace
}  // namespace velquist
