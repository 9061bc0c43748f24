#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/EngineTexts.h"
#include "support/PassHarness.h"
#include "WorkflowHarness.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

Box StartBox(const std::string& out) {
    return {"   隐藏信息即将取出到：  " + out, 64, std::string("准备开始")};
}
const Box kDoneBox{"信息取出完成！", 64, std::string("完成")};
const Box kReadNow{"     你愿意现在就阅读内容吗？     ", 36, std::string("选择")};
const Box kDeleteNow{"  不知信息是否对您有用？您想将它删除吗？  ", 36, std::string("选择")};
const Box kWiped{"    信息已清除    ", 64, std::string("消息")};
const Box kWrongPassword{"对不起，您无权取出信息！", 16, std::string("密码不正确")};

struct Hidden {
    std::string carrier;
    std::vector<std::uint8_t> message;
};

Hidden HideOne(WorkflowHarness& h, const std::string& password, bool protect,
               std::size_t length = 100) {
    Hidden hidden{h.WriteCarrier("c.bmp"), RandomBytes(length, 3)};
    h.HideFile(hidden.carrier, h.WriteFile("m.txt", hidden.message), password, protect);
    h.platform.ClearRecords();
    return hidden;
}

TEST(ExtractCommand, PreconditionsAreCheckedInOrder) {
    WorkflowHarness h;
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"    请先选择图片！   ", 16, std::string("错误")}}));
    h.OpenCarrier(h.WriteCarrier("c.bmp"));
    h.platform.ClearRecords();
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"没有信息可以取出！", 16, std::string("错误")}}));
    EXPECT_TRUE(ListFolder(h.outDir).empty());
}

TEST(ExtractCommand, UnprotectedRoundTripWithoutWipeCanRunAgain) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "", false);
    std::string out = h.outDir + "/output.txt";
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{StartBox(out), kDoneBox, kReadNow}));
    EXPECT_EQ(ReadAll(out), hidden.message);
    EXPECT_EQ(h.job.HiddenMark, 1);
    EXPECT_TRUE(h.platform.shellOpened().empty());

    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes().size(), 3u);
    EXPECT_EQ(ReadAll(out), hidden.message);
    EXPECT_EQ(ListFolder(h.outDir), std::vector<std::string>{"output.txt"});
}

TEST(ExtractCommand, ProtectedCarrierAsksForTheExactPassword) {
    struct Case {
        std::string stored;
        std::string entered;
        bool accepted;
    };
    const Case cases[] = {
        {"abc", "abc", true},  {"abc", "ABC", false}, {"abc", "abc ", false},
        {"abc", "", false},    {"", "", true},        {"12345678", "12345678", true},
    };
    for (const Case& c : cases) {
        WorkflowHarness h;
        Hidden hidden = HideOne(h, c.stored, true);
        h.TickPassword(false);  // the option must not decide whether the carrier is locked
        h.platform.AnswerInput(c.entered);
        if (c.accepted) h.platform.AnswerQuestion(kAnswerNo);
        h.extract.cmdout_Click();
        ASSERT_EQ(h.platform.dialogs().back().kind, "input");
        EXPECT_EQ(h.platform.dialogs().back().title, "核实权限");
        EXPECT_EQ(h.platform.dialogs().back().pattern, "请输入密码： ");
        EXPECT_TRUE(h.platform.dialogs().back().masked);
        std::string out = h.outDir + "/output.txt";
        if (c.accepted) {
            EXPECT_EQ(ReadAll(out), hidden.message) << c.entered;
        } else {
            EXPECT_EQ(h.platform.boxes(), std::vector<Box>{kWrongPassword}) << c.entered;
            EXPECT_TRUE(ListFolder(h.outDir).empty());
        }
        EXPECT_EQ(h.job.PwdLen, 0);
    }
}

TEST(ExtractCommand, UnprotectedCarrierIsNotLockedByTickingThePasswordOption) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "", false);
    h.TickPassword(true);
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();  // no input box is scripted: asking would fail the test
    EXPECT_EQ(ReadAll(h.outDir + "/output.txt"), hidden.message);
}

TEST(ExtractCommand, OpenAndDeleteOffers) {
    WorkflowHarness h;
    HideOne(h, "", false);
    std::string out = h.outDir + "/output.txt";
    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.platform.shellOpened(), std::vector<std::string>{out});
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{StartBox(out), kDoneBox, kReadNow, kDeleteNow}));
    EXPECT_TRUE(Exists(out));

    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerQuestion(kAnswerYes);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes().back(), (Box{out + "  已删除！", 64, std::string("消息")}));
    EXPECT_FALSE(Exists(out));

    h.platform.FailDeletes(true);
    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerQuestion(kAnswerYes);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes().back(), (Box{out + "  删除失败！", 16, std::string("错误")}));
}

TEST(ExtractCommand, WipeClearsTheCarrierAndTheChosenMessage) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "pw", true);
    h.job.ClearBmp = -1;
    h.platform.AnswerInput("pw");
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes().back(), kWiped);
    EXPECT_EQ(ReadAll(h.outDir + "/output.txt"), hidden.message);
    EXPECT_EQ(h.job.HiddenMark, 0);
    EXPECT_TRUE(h.job.MsgPath.empty());
    EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), "隐藏信息已被清除！");
    EXPECT_EQ(h.view.CaptionOf(Caption::LabCue2), "欲嵌入的文件：无");
    auto bytes = ReadAll(hidden.carrier);
    EXPECT_EQ(GetLE32(bytes, 6), 0u);
    EXPECT_EQ(std::string(bytes.begin() + 58, bytes.begin() + 66), "        ");

    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"没有信息可以取出！", 16, std::string("错误")}}));
    h.OpenCarrier(hidden.carrier);
    EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), "这张图片没有隐藏信息");
    h.hide.cmdadd_Click();  // the old message is no longer chosen
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"   请选择要嵌入的信息文件！   ", 48, std::string("注意")}}));
}

TEST(ExtractCommand, OutputFolderThatCannotBeWrittenLeavesNothingAndKeepsTheMarker) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "", false);
    h.job.ClearBmp = -1;
    auto carrierBefore = ReadAll(hidden.carrier);
    h.job.OutPath = h.dir.File("gone") + "/";
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{texts::kExtractFailed, 16, std::nullopt}}));
    EXPECT_EQ(ReadAll(hidden.carrier), carrierBefore);

    h.job.OutPath = h.outDir + "/";
    ::mkdir((h.outDir + "/output.txt").c_str(), 0755);  // a folder of that name
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{texts::kExtractFailed, 16, std::nullopt}}));
    EXPECT_EQ(ListFolder(h.outDir), std::vector<std::string>{"output.txt"});
    EXPECT_EQ(h.job.HiddenMark, 1);
    EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2));
}

TEST(ExtractCommand, ExistingOutputSurvivesARefusalAndIsReplacedByACompletedRun) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "pw", true, 4);
    std::string out = h.outDir + "/output.txt";
    WriteAll(out, RandomBytes(5000, 9));
    auto old = ReadAll(out);
    h.platform.AnswerInput("wrong");
    h.extract.cmdout_Click();
    EXPECT_EQ(ReadAll(out), old);
    h.platform.AnswerInput("pw");
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(ReadAll(out), hidden.message);
}

}  // namespace
}  // namespace velquist
