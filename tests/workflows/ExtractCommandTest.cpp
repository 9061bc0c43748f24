// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <unistd.h>

#include "WorkflowHarness.h"
#include "engine/OutputTarget.h"
#include "platform/FolderPath.h"
#include "support/PassHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

Box StartBox(const std::string& out) {
    return {"   隐藏信息即将取出到：  " + out, 64, std::string("准备开始")};
}
const Box kDoneBox{"信息取出完成！", 64, std::string("完成")};
const Box kReadNow{"     你愿意现在就阅读内容吗？     ", 36, std::string("选择")};
const Box kDeleteNow{"  不知信息是否对您有用？您想将它删除吗？  ", 36, std::string("选择"), kAnswerNo};
const Box kWiped{"    信息已清除    ", 64, std::string("消息")};
const Box kWrongPassword{"对不起，您无权取出信息！", 16, std::string("密码不正确")};
Box ReplaceBox(const std::string& out) {
    return {out + "  已经存在，要替换它吗？", 36, std::string("选择")};
}
Box FailedBox(const std::string& path, const std::string& cause) {
    return {std::string(texts::kExtractFailed) + "\n" + path + "：" + cause, 16, std::nullopt};
}

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
    EXPECT_TRUE(h.job.HiddenMark);
    EXPECT_TRUE(h.platform.shellOpened().empty());

    h.platform.AnswerQuestion(kAnswerYes);  // replace the first run's output
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{ReplaceBox(out), StartBox(out), kDoneBox, kReadNow}));
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

// The output is named after the header the extraction reads under its lock, not the one read
// when the picture was chosen: another program may have hidden another file since.
TEST(ExtractCommand, OutputIsNamedAfterTheHeaderReadUnderTheLock) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "", false);
    h.OpenCarrier(hidden.carrier);
    h.platform.ClearRecords();
    auto bytes = ReadAll(hidden.carrier);
    std::copy_n("dat", 3, bytes.begin() + 54);
    WriteAll(hidden.carrier, bytes);  // in place: the very file chosen
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    const std::string out = h.outDir + "/output.dat";
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{StartBox(out), kDoneBox, kReadNow}));
    EXPECT_EQ(ListFolder(h.outDir), std::vector<std::string>{"output.dat"});
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

    // No program for the file's type: the user is told before the delete question.
    ::unlink(out.c_str());
    h.platform.FailShellOpen(true);
    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{StartBox(out), kDoneBox, kReadNow,
                                               {"无法打开文件：" + out, 48, std::string("注意")},
                                               kDeleteNow}));
}

// Deleting moves the file to the trash, and the box says so; where no trash can take it, the
// user is asked once more (Return keeps it) before it is deleted for good, and only then does
// the box say it was deleted.
TEST(ExtractCommand, DeleteGoesToTheTrashOrAsksBeforeDeletingForGood) {
    struct Case {
        const char* name;
        Removal trash;
        std::vector<int> answers;  // after the read and delete questions
        bool deleteFails;
        std::string last;          // the last box's prompt after the output's name
        int lastStyle;
        bool kept;
    };
    const Box forGood{"  无法移到回收站。要将它永久删除吗？  ", 36, std::string("选择"), kAnswerNo};
    const std::vector<Case> cases = {
        {"the trash takes it", Removal::Trashed, {}, false, "  已移到回收站", 64, false},
        {"the trash fails", Removal::Failed, {}, false, "  删除失败！", 16, true},
        {"no trash, kept", Removal::NoTrash, {kAnswerNo}, false, forGood.prompt, 36, true},
        {"no trash, deleted for good", Removal::NoTrash, {kAnswerYes}, false, "  已删除！", 64, false},
        {"no trash, the delete fails", Removal::NoTrash, {kAnswerYes}, true, "  删除失败！", 16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkflowHarness h;
        HideOne(h, "", false);
        const std::string out = h.outDir + "/output.txt";
        h.platform.AnswerTrash(c.trash);
        h.platform.FailDeletes(c.deleteFails);
        for (int answer : {kAnswerYes, kAnswerYes}) h.platform.AnswerQuestion(answer);
        for (int answer : c.answers) h.platform.AnswerQuestion(answer);
        h.extract.cmdout_Click();
        EXPECT_EQ(h.platform.trashed(), std::vector<std::string>{out});
        EXPECT_EQ(h.platform.deleted().size(), c.answers == std::vector<int>{kAnswerYes} ? 1u : 0u);
        std::vector<Box> boxes = h.TakeBoxes();
        ASSERT_GE(boxes.size(), 5u);
        EXPECT_EQ(boxes[3], kDeleteNow);
        if (c.trash == Removal::NoTrash) {
            EXPECT_EQ(boxes[4], (Box{out + forGood.prompt, 36, forGood.title, kAnswerNo}));
        }
        const std::string prompt = c.last == forGood.prompt ? out + forGood.prompt : out + c.last;
        EXPECT_EQ(boxes.back().prompt, prompt);
        EXPECT_EQ(boxes.back().style, c.lastStyle);
        EXPECT_EQ(Exists(out), c.kept);
    }
}

TEST(ExtractCommand, WipeClearsTheCarrierAndTheChosenMessage) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "pw", true);
    h.job.ClearBmp = true;
    h.platform.AnswerInput("pw");
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes().back(), kWiped);
    EXPECT_EQ(ReadAll(h.outDir + "/output.txt"), hidden.message);
    EXPECT_FALSE(h.job.HiddenMark);
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
    h.job.ClearBmp = true;
    auto carrierBefore = ReadAll(hidden.carrier);
    h.job.OutPath = h.dir.File("gone") + "/";
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(),
              (std::vector<Box>{FailedBox(h.dir.File("gone"), "输出文件夹不存在")}));
    EXPECT_EQ(ReadAll(hidden.carrier), carrierBefore);

    h.job.OutPath = h.outDir + "/";
    ::mkdir((h.outDir + "/output.txt").c_str(), 0755);  // a folder of that name
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{FailedBox(h.outDir + "/output.txt", "不是普通文件")}));
    EXPECT_EQ(ListFolder(h.outDir), std::vector<std::string>{"output.txt"});
    EXPECT_TRUE(h.job.HiddenMark);
    EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2));
}

TEST(ExtractCommand, ExistingOutputSurvivesARefusalAndIsReplacedByACompletedRun) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "pw", true, 4);
    std::string out = h.outDir + "/output.txt";
    WriteAll(out, RandomBytes(5000, 9));
    auto old = ReadAll(out);
    h.platform.AnswerQuestion(kAnswerNo);  // keep the existing file: nothing else happens
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), std::vector<Box>{ReplaceBox(out)});
    EXPECT_EQ(ReadAll(out), old);
    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerInput("wrong");
    h.extract.cmdout_Click();
    EXPECT_EQ(ReadAll(out), old);
    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerInput("pw");
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(ReadAll(out), hidden.message);
}

// Ticked encryption writes format version 2: no password in the picture, and only the right
// one opens it; the window says what it is doing while the key is derived.
TEST(ExtractCommand, EncryptedCarrierOpensOnlyWithItsPassword) {
    WorkflowHarness h;
    h.view.encryptTicked = true;
    Hidden hidden = HideOne(h, "pw", true);
    auto bytes = ReadAll(hidden.carrier);
    EXPECT_EQ(bytes[9], 0x28);
    EXPECT_EQ(std::string(bytes.begin() + 57, bytes.begin() + 66), std::string(1, '\0') + "        ");
    std::string out = h.outDir + "/output.txt";
    h.OpenCarrier(hidden.carrier);
    h.platform.ClearRecords();
    const std::string status = h.view.CaptionOf(Caption::Labtmp);
    h.platform.AnswerInput("wrong");
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{StartBox(out), kWrongPassword}));
    EXPECT_TRUE(ListFolder(h.outDir).empty());
    EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), status) << "nothing was taken out";
    EXPECT_EQ(h.view.CaptionOf(Caption::labfinish), "");

    std::vector<std::string> statusWhileWaiting;
    h.platform.OnYield([&] { statusWhileWaiting.push_back(h.view.CaptionOf(Caption::Labtmp)); });
    h.platform.AnswerInput("pw");
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(ReadAll(out), hidden.message);
    EXPECT_NE(std::find(statusWhileWaiting.begin(), statusWhileWaiting.end(), "正在核实密码……"),
              statusWhileWaiting.end());
}

// A picture without a marker is searched only with a typed password: the wrong one finds
// nothing and leaves the labels as they were, the right one takes the file out under its own
// name, and the wipe leaves nothing to find.
TEST(ExtractCommand, NoTracePictureOpensWithItsTypedPassword) {
    WorkflowHarness h;
    h.view.encryptTicked = h.view.stealthTicked = true;
    std::string carrier = h.WriteCarrier("c.bmp", CarrierBuilder{.width = 120, .height = 90});
    auto message = RandomBytes(300, 9);
    h.HideFile(carrier, h.WriteFile("plan.odt", message), "reef", true);
    h.OpenCarrier(carrier);
    h.platform.ClearRecords();
    const Box nothing{"没有信息可以取出！", 16, std::string("错误")};
    h.TickPassword(false);
    h.view.password = "reef";
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), std::vector<Box>{nothing}) << "the option not ticked: no search";

    h.TickPassword(true);
    h.view.password = "Reef";
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), std::vector<Box>{nothing});
    EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), "这张图片没有隐藏信息");
    EXPECT_TRUE(h.view.password.empty()) << "a typed password leaves the box once taken";
    EXPECT_TRUE(ListFolder(h.outDir).empty());

    std::string out = h.outDir + "/plan.odt";
    h.job.ClearBmp = true;
    h.view.password = "reef";
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{StartBox(out), kDoneBox, kReadNow, kWiped}));
    EXPECT_EQ(ReadAll(out), message);
    h.view.password = "reef";
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), std::vector<Box>{nothing}) << "wiped";
}

// Whatever stands at the output name, the extraction never harms another file: not the
// picture itself, not a file the user protected, not the target of a link, and it never
// hands on the permissions of what it replaces.
TEST(ExtractCommand, OutputNameThatIsTakenIsHandledSafely) {
    WorkflowHarness h;
    Hidden hidden = HideOne(h, "", false);
    h.job.ClearBmp = true;
    auto carrierBefore = ReadAll(hidden.carrier);
    std::string out = h.outDir + "/output.txt";

    // The picture itself under the output name: refused before anything is written or wiped.
    ASSERT_EQ(::symlink(hidden.carrier.c_str(), out.c_str()), 0);
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"输出文件就是这张图片本身，请更改信息输出路径！", 16,
                                                std::string("错误")}}));
    EXPECT_EQ(ReadAll(hidden.carrier), carrierBefore);
    ::unlink(out.c_str());
    // The output is named after the extension stored in the picture: "bmp" here.
    auto storedBmp = carrierBefore;
    std::copy_n("bmp", 3, storedBmp.begin() + 54);
    WriteAll(hidden.carrier, storedBmp);
    h.job.OutPath = FolderOf(hidden.carrier) + "/";
    ASSERT_EQ(::rename(hidden.carrier.c_str(), (FolderOf(hidden.carrier) + "/output.bmp").c_str()), 0);
    h.job.ImagePath = FolderOf(hidden.carrier) + "/output.bmp";
    h.extract.cmdout_Click();
    EXPECT_EQ(h.TakeBoxes().size(), 1u);
    EXPECT_EQ(ReadAll(h.job.ImagePath), storedBmp);
    ASSERT_EQ(::rename(h.job.ImagePath.c_str(), hidden.carrier.c_str()), 0);
    WriteAll(hidden.carrier, carrierBefore);
    h.job.ImagePath = hidden.carrier;
    h.job.OutPath = h.outDir + "/";
    h.job.MsgExt = "txt";
    h.job.ClearBmp = false;

    // A file the user may not write (simulated, as root may write anything).
    WriteAll(out, {'o', 'l', 'd'});
    h.platform.Files().SetFaultHook([](FileOp op, int) { return op == FileOp::Access; });
    h.extract.cmdout_Click();
    h.platform.Files().SetFaultHook({});
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{FailedBox(out, "没有权限（文件、文件夹或磁盘是只读的或受保护的）")}));
    EXPECT_EQ(ReadAll(out), (std::vector<std::uint8_t>{'o', 'l', 'd'}));

    // A planted world-writable set-user-ID file: replaced by a file with ordinary permissions.
    ::chmod(out.c_str(), 04777);
    mode_t mask = ::umask(022);
    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    struct stat st{};
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(ReadAll(out), hidden.message);

    // A link at the output name is replaced itself; its target is never written.
    std::string target = h.dir.File("target.txt");
    WriteAll(target, {'t'});
    ::unlink(out.c_str());
    ASSERT_EQ(::symlink(target.c_str(), out.c_str()), 0);
    h.platform.AnswerQuestion(kAnswerYes);
    h.platform.AnswerQuestion(kAnswerNo);
    h.extract.cmdout_Click();
    ::umask(mask);
    struct stat link{};
    ASSERT_EQ(::lstat(out.c_str(), &link), 0);
    EXPECT_TRUE(S_ISREG(link.st_mode));
    EXPECT_EQ(ReadAll(target), std::vector<std::uint8_t>{'t'});
    EXPECT_EQ(ListFolder(h.outDir), std::vector<std::string>{"output.txt"});
}

}  // namespace
}  // namespace velquist
