// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "WorkflowHarness.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

const Box kBadExtension{"该文件名不被支持,请确认文件有且仅有3位扩展名！！！", 16, std::string("错误")};

TEST(MessageSelection, RefusedWithoutACarrierOrOnACarrierHoldingData) {
    WorkflowHarness h;
    h.messageSelection.CmdMsgSelect_Click();
    EXPECT_EQ(h.platform.boxes(), (std::vector<Box>{{"请先选择图片！", 64, std::string("注意")}}));
    EXPECT_TRUE(h.platform.dialogs().empty());

    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10000001);
    h.OpenCarrier(h.WriteFile("held.bmp", bytes));
    h.platform.ClearRecords();
    h.messageSelection.CmdMsgSelect_Click();
    EXPECT_EQ(h.platform.boxes(), (std::vector<Box>{{"图片里有信息，不可选择文件", 16, std::string("错误")}}));
    EXPECT_TRUE(h.platform.dialogs().empty());
    EXPECT_TRUE(h.job.MsgPath.empty());
}

TEST(MessageSelection, ExtensionIsTheLastThreeCharactersAfterADot) {
    struct Case {
        std::string name;
        std::string ext;
        bool refused;
    };
    const Case cases[] = {
        {"report.txt", "txt", false},     {"REPORT.TXT", "TXT", false},
        {"photo.jpeg", "msg", true},      {"README", "msg", true},
        {"a.b", "msg", true},             {"archive.tar.gz", "msg", true},
        {".abc", "abc", false},           {"笔记.文档", "msg", true},
        {"x.文", "msg", true},            {"data.a b", "a b", false},
        {"x.a\\b", "a_b", false},  // a separator never reaches the output's name
    };
    for (const Case& c : cases) {
        WorkflowHarness h;
        h.OpenCarrier(h.WriteCarrier("c.bmp"));
        h.platform.ClearRecords();
        std::string path = h.WriteFile(c.name, {1, 2, 3});
        h.ChooseMessage(path);
        EXPECT_EQ(h.job.MsgExt, c.ext) << c.name;
        EXPECT_EQ(h.job.MsgPath, path);
        EXPECT_EQ(h.view.CaptionOf(Caption::LabCue2), "欲嵌入的文件:" + path);
        EXPECT_EQ(h.view.CaptionOf(Caption::TxtName), path);
        EXPECT_EQ(h.platform.boxes(), c.refused ? std::vector<Box>{kBadExtension} : std::vector<Box>{})
            << c.name;
        ASSERT_EQ(h.platform.dialogs().size(), 1u);
        EXPECT_EQ(h.platform.dialogs()[0].title, "选择 欲嵌入的信息文件");
        EXPECT_EQ(h.platform.dialogs()[0].pattern, "*");
        EXPECT_EQ(h.platform.dialogs()[0].initialFolder, "/home/user");
    }
}

TEST(MessageSelection, CancelKeepsThePreviousChoiceAndDerivesItsExtensionAgain) {
    WorkflowHarness h;
    h.OpenCarrier(h.WriteCarrier("c.bmp"));
    h.platform.AnswerOpenFile(std::nullopt);
    h.messageSelection.CmdMsgSelect_Click();
    EXPECT_TRUE(h.job.MsgPath.empty());
    EXPECT_TRUE(h.platform.boxes().empty());

    std::string path = h.WriteFile("notes.md", {1});
    h.ChooseMessage(path);
    std::string cue = h.view.CaptionOf(Caption::LabCue2);
    h.platform.ClearRecords();
    h.platform.AnswerOpenFile(std::nullopt);
    h.messageSelection.CmdMsgSelect_Click();
    EXPECT_EQ(h.job.MsgPath, path);
    EXPECT_EQ(h.view.CaptionOf(Caption::LabCue2), cue);
    EXPECT_EQ(h.platform.boxes(), std::vector<Box>{kBadExtension});
}

}  // namespace
}  // namespace velquist
