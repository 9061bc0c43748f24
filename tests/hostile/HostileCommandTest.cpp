// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "HostilePictures.h"
#include "WorkflowHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using namespace velquist::testing::HostilePictures;
using Box = ScriptedPlatform::Box;

const Box kDamagedBox{texts::kDamaged, 16, std::string("错误")};
const Box kNot24BitBox{texts::kNot24Bit, 16, std::nullopt};
const Box kHideStartBox{texts::kHideStart, 64, std::string("准备")};
const Box kTooLargeBox{texts::kTooLarge, 16, std::string("注意")};
const Box kOtherVersionBox{texts::kOtherVersion, 16, std::string("注意！")};

enum class Then { Nothing, Hide, Extract };

struct CommandRow {
    std::string name;
    std::vector<std::uint8_t> bytes;
    bool folder = false;
    std::vector<Box> openBoxes;  // choosing the picture
    Then then = Then::Nothing;   // the command the window then allows
    std::vector<Box> thenBoxes;
};

std::vector<CommandRow> Rows() {
    const std::uint32_t holds3 = 0x10000003;
    std::vector<std::uint8_t> palette = Ordinary();
    palette[28] = 8;
    std::vector<std::uint8_t> otherVersion = Holding({'a', 'b', 'c', 'd'});
    otherVersion[9] = 0x30;
    // Version 2 is always protected, keeps bits 24 to 26 clear, and holds a sealed length
    // (never as short as 3 bytes).
    auto version2 = [](std::uint8_t flagByte) {
        std::vector<std::uint8_t> bytes = Holding({'a', 'b', 'c'});
        bytes[9] = flagByte;
        return bytes;
    };
    return {
        {"empty file", Cut(0), false, {kDamagedBox}, Then::Nothing, {}},
        {"one byte", Cut(1), false, {kDamagedBox}, Then::Nothing, {}},
        {"29 bytes", Cut(29), false, {kDamagedBox}, Then::Nothing, {}},
        {"30 bytes, pixel data past the end", Cut(30), false, {kDamagedBox}, Then::Nothing, {}},
        {"pixel offset negative", WithHeader(-54, holds3), false, {kDamagedBox}, Then::Nothing, {}},
        {"pixel offset 0", WithHeader(0, holds3), false, {kDamagedBox}, Then::Nothing, {}},
        {"pixel offset 29", WithHeader(29, holds3), false, {kDamagedBox}, Then::Nothing, {}},
        {"pixel offset at the end, empty", WithHeader(kLength, 0), false, {}, Then::Hide,
         {kHideStartBox, kTooLargeBox}},
        {"pixel offset at the end, holding", WithHeader(kLength, holds3), false, {kDamagedBox}, Then::Nothing, {}},
        {"pixel offset beyond the end", WithHeader(kLength + 1, holds3), false, {kDamagedBox}, Then::Nothing, {}},
        {"stored length larger than the picture holds", WithHeader(54, 0x10FFFFFF), false, {},
         Then::Extract, {kDamagedBox}},
        {"marker word of another version", otherVersion, false, {}, Then::Extract,
         {kOtherVersionBox}},
        {"version 2 without its password flag", version2(0x20), false, {}, Then::Extract,
         {kDamagedBox}},
        {"version 2 with a reserved bit", version2(0x29), false, {}, Then::Extract, {kDamagedBox}},
        {"version 2 with a length no sealed message has", version2(0x28), false, {},
         Then::Extract, {kDamagedBox}},
        {"8-bit picture", palette, false, {kNot24BitBox}, Then::Nothing, {}},
        {"picture path is a folder", {}, true,
         {{std::string(texts::kCannotOpenPicture) + "\n", 16, std::string("错误")}}, Then::Nothing, {}},
    };
}

TEST(HostileHeaders, WindowRefusesWithItsBoxAndChangesNothing) {
    for (const auto& row : Rows()) {
        WorkflowHarness h;
        std::string path = h.dir.File("carrier.bmp");
        if (row.folder)
            std::filesystem::create_directory(path);
        else
            WriteAll(path, row.bytes);
        std::string message = h.WriteFile("message.txt", {'1', '2', '3', '4'});
        h.OpenCarrier(path);
        std::vector<Box> openBoxes = row.openBoxes;
        // A failing open names the picture and why on a second line.
        if (row.folder) openBoxes[0].prompt += path + "：不是普通文件";
        EXPECT_EQ(h.TakeBoxes(), openBoxes) << row.name;
        if (row.then == Then::Nothing) {
            EXPECT_EQ(h.job.ImagePath, "") << row.name;
        }
        if (row.then == Then::Hide) {
            h.ChooseMessage(message);
            h.hide.cmdadd_Click();
            EXPECT_FALSE(h.job.HiddenMark) << row.name;
        }
        if (row.then == Then::Extract) {
            h.extract.cmdout_Click();
        }
        EXPECT_EQ(h.TakeBoxes(), row.thenBoxes) << row.name;
        EXPECT_TRUE(h.platform.ScriptUsedUp()) << row.name;
        EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2)) << row.name;
        if (row.folder) {
            EXPECT_TRUE(std::filesystem::is_empty(path)) << row.name;
        } else {
            EXPECT_EQ(ReadAll(path), row.bytes) << row.name;
        }
        EXPECT_EQ(ListFolder(h.dir.path()),
                  (std::vector<std::string>{"carrier.bmp", "message.txt", "out"})) << row.name;
        EXPECT_TRUE(ListFolder(h.outDir).empty()) << row.name;
    }
}

TEST(HostileHeaders, WindowNamesTheOutputSafelyWhateverTheExtensionBytes) {
    struct Row {
        std::vector<std::uint8_t> extension;
        std::string safeName;
    };
    const std::vector<Row> rows{
        {{'/', '.', '.'}, "output._.."}, {{'\\', 'a', '/'}, "output._a_"},
        {{0, 0, 0}, "output.___"},       {{0xB0, 0xA1, 'z'}, "output.__z"},
    };
    const std::vector<std::uint8_t> message{'h', 'i', 'd', 'd', 'e', 'n', '!'};
    for (const auto& row : rows) {
        WorkflowHarness h;
        std::string path = h.dir.File("carrier.bmp");
        WriteAll(path, Holding(message, row.extension));
        h.OpenCarrier(path);
        h.platform.AnswerQuestion(kAnswerNo);
        h.extract.cmdout_Click();
        std::string outFile = h.outDir + "/" + row.safeName;
        EXPECT_EQ(h.TakeBoxes(),
                  (std::vector<Box>{{texts::kExtractStart + outFile, 64, std::string("准备开始")},
                                    {texts::kExtractDone, 64, std::string("完成")},
                                    {texts::kReadNow, 36, std::string("选择")}}))
            << row.safeName;
        EXPECT_EQ(ListFolder(h.outDir), std::vector<std::string>{row.safeName});
        EXPECT_EQ(ReadAll(outFile), message) << row.safeName;
        EXPECT_EQ(ListFolder(h.dir.path()), (std::vector<std::string>{"carrier.bmp", "out"}));
    }
}

}  // namespace
}  // namespace velquist
