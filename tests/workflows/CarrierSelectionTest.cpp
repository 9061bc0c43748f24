// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "WorkflowHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

TEST(CarrierSelection, DialogAsksForABmpOrPngFromHome) {
    WorkflowHarness h;
    h.OpenCarrier(h.WriteCarrier("a.bmp"));
    ASSERT_EQ(h.platform.dialogs().size(), 1u);
    EXPECT_EQ(h.platform.dialogs()[0].title, "打开 BMP图片");
    EXPECT_EQ(h.platform.dialogs()[0].pattern, "BMP或PNG图片 (*.bmp *.png)");
    EXPECT_EQ(h.platform.dialogs()[0].initialFolder, "/home/user");
}

// The pixel array from O counts, not the header nor bytes after the pixels.
TEST(CarrierSelection, CapacityCaptionDividesThePixelArrayBy4092) {
    struct Case {
        std::size_t length;
        std::string caption;
    };
    for (Case c : {Case{921654, "您可以嵌入的信息大小不超过225KB"}, Case{54 + 4091, "您可以嵌入的信息大小不超过0KB"},
                   Case{54 + 4092, "您可以嵌入的信息大小不超过1KB"},
                   Case{921654 + 4092, "您可以嵌入的信息大小不超过225KB"}}) {
        WorkflowHarness h;
        auto bytes = CarrierBuilder{.width = 640, .height = 480}.Build();
        bytes.resize(c.length);
        std::string path = h.WriteFile("p.bmp", bytes);
        h.OpenCarrier(path);
        EXPECT_TRUE(h.platform.boxes().empty());
        EXPECT_EQ(h.view.CaptionOf(Caption::LabCue2), c.caption);
        EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), "这张图片没有隐藏信息");
        EXPECT_EQ(h.view.CaptionOf(Caption::LabCue1), "当前图片:" + path);
        EXPECT_EQ(h.job.ImagePath, path);
        EXPECT_FALSE(h.job.HiddenMark);
        EXPECT_TRUE(h.view.previewShown);
    }
}

TEST(CarrierSelection, ForeignPictureWithReservedFieldsShowsHiddenDataThenTheVersionMessage) {
    WorkflowHarness h;
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x30000007);
    bytes[54] = 'a';
    bytes[55] = '/';
    bytes[56] = 0xC3;
    std::string path = h.WriteFile("foreign.bmp", bytes);
    h.view.captions[Caption::labfinish] = "50%";
    h.OpenCarrier(path);
    EXPECT_TRUE(h.job.HiddenMark);
    EXPECT_EQ(h.job.MsgExt, "a__");  // never a path separator or a stray byte
    EXPECT_EQ(h.job.OutFile, h.outDir + "/output.a__");
    EXPECT_EQ(h.view.CaptionOf(Caption::LabCue2), "隐藏信息将被取出到：" + h.outDir + "/output.a__");
    EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), "图片内有隐藏信息");
    EXPECT_EQ(h.view.CaptionOf(Caption::labfinish), "");

    h.extract.cmdout_Click();
    EXPECT_EQ(h.platform.boxes(),
              (std::vector<Box>{{"      版本号不同，请升级软件！    ", 16, std::string("注意！")}}));
    EXPECT_TRUE(ListFolder(h.outDir).empty());
    EXPECT_EQ(ReadAll(path), bytes);
}

// Refused pictures leave the job state and every caption as they were, and create nothing.
TEST(CarrierSelection, RefusalsChangeNothing) {
    WorkflowHarness h;
    std::string good = h.WriteCarrier("good.bmp");
    h.OpenCarrier(good);
    auto captions = h.view.captions;
    JobState before = h.job;
    h.platform.ClearRecords();

    auto eight = CarrierBuilder{.bitCount = 8}.Build();
    auto shortOffset = CarrierBuilder{}.Build();
    PutLE32(shortOffset, 10, 12);
    auto compressed = CarrierBuilder{.compression = 1}.Build();
    auto held = CarrierBuilder{}.Build();
    PutLE32(held, 6, 0x10000001);
    held.resize(60);  // claims data but has no room for the header group
    ::mkdir(h.dir.File("folder.bmp").c_str(), 0755);
    ::mkfifo(h.dir.File("pipe.bmp").c_str(), 0600);  // opening it must not wait for a writer
    struct Case {
        std::string path;
        Box box;
    };
    auto cannotOpen = [](const std::string& path, const std::string& cause) {
        return Box{std::string(texts::kCannotOpenPicture) + "\n" + path + "：" + cause, 16,
                   std::string("错误")};
    };
    const Box damaged{texts::kDamaged, 16, std::string("错误")};
    const Case cases[] = {
        {h.WriteFile("eight.bmp", eight), {texts::kNot24Bit, 16, std::nullopt}},
        {h.WriteFile("compressed.bmp", compressed), {texts::kNotUncompressed, 16, std::string("错误")}},
        {h.dir.File("missing.bmp"), cannotOpen(h.dir.File("missing.bmp"), "文件或文件夹不存在")},
        {h.dir.File("folder.bmp"), cannotOpen(h.dir.File("folder.bmp"), "不是普通文件")},
        {h.dir.File("pipe.bmp"), cannotOpen(h.dir.File("pipe.bmp"), "不是普通文件")},
        {"/dev/null", cannotOpen("/dev/null", "不是普通文件")},
        {h.WriteFile("empty.bmp", {}), damaged},
        {h.WriteFile("short.bmp", std::vector<std::uint8_t>(29, 0)), damaged},
        {h.WriteFile("offset.bmp", shortOffset), damaged},
        {h.WriteFile("held.bmp", held), damaged},
    };
    for (const Case& c : cases) {
        h.OpenCarrier(c.path);
        EXPECT_EQ(h.platform.boxes(), std::vector<Box>{c.box}) << c.path;
        EXPECT_EQ(h.job.ImagePath, good) << c.path;
        EXPECT_EQ(h.job.HiddenMark, before.HiddenMark);
        EXPECT_EQ(h.view.captions, captions) << c.path;
        h.platform.ClearRecords();
    }
    EXPECT_FALSE(Exists(h.dir.File("missing.bmp")));

    h.view.picturesLoad = false;  // 24-bit by its header, but no picture
    h.OpenCarrier(h.WriteCarrier("broken.bmp"));
    EXPECT_EQ(h.platform.boxes(),
              (std::vector<Box>{{texts::kCannotOpenPicture, 16, std::string("错误")}}));
    EXPECT_EQ(h.job.ImagePath, good);
    EXPECT_FALSE(h.platform.Files().IsOpen(1));
}

TEST(CarrierSelection, CancelInspectsTheCurrentCarrierAgainAndDoesNothingOnFirstUse) {
    WorkflowHarness h;
    h.platform.AnswerOpenFile(std::nullopt);
    h.carrierSelection.cmdopen_Click();
    EXPECT_FALSE(h.view.previewShown);
    EXPECT_TRUE(h.view.captions.empty());
    EXPECT_TRUE(h.job.ImagePath.empty());

    std::string path = h.WriteCarrier("a.bmp");
    h.OpenCarrier(path);
    // The carrier gains hidden data behind the window's back; a cancel shows it.
    auto bytes = ReadAll(path);
    PutLE32(bytes, 6, 0x10000003);
    WriteAll(path, bytes);
    h.platform.AnswerOpenFile(std::nullopt);
    h.carrierSelection.cmdopen_Click();
    EXPECT_EQ(h.job.ImagePath, path);
    EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), "图片内有隐藏信息");
}

}  // namespace
}  // namespace velquist
