// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>

#include <unistd.h>

#include "WorkflowHarness.h"
#include "engine/stealth/StealthCapacity.h"
#include "support/PassHarness.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Box = ScriptedPlatform::Box;

const Box kStartBox{"    按下[确定]键将开始嵌入信息    ", 64, std::string("准备")};
const Box kDoneBox{"嵌入完成！", 64, std::string("消息")};

TEST(HideCommand, PreconditionsAreCheckedInOrder) {
    WorkflowHarness h;
    h.hide.cmdadd_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"  请先选择图片！  ", 16, std::string("错误 ")}}));

    auto held = CarrierBuilder{}.Build();
    PutLE32(held, 6, 0x10000001);
    h.OpenCarrier(h.WriteFile("held.bmp", held));
    h.hide.cmdadd_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"   图片内有隐藏信息，不可嵌入！  ", 16, std::string("错误")}}));

    std::string carrier = h.WriteCarrier("c.bmp");
    h.OpenCarrier(carrier);
    h.hide.cmdadd_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"   请选择要嵌入的信息文件！   ", 48, std::string("注意")}}));

    h.ChooseMessage(h.WriteFile("m.txt", {1, 2, 3}));
    h.TickPassword(true);
    h.view.password = "abc";
    h.view.repeat = "ABC";
    h.hide.cmdadd_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{" 密码不相同！！", 16, std::string("警告！")}}));
    h.view.encryptTicked = true;  // an encryption under an empty password protects nothing
    h.view.password = h.view.repeat = "";
    h.hide.cmdadd_Click();
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{{"加密需要密码，请输入密码！", 48, std::string("注意")}}));
    EXPECT_EQ(ReadAll(carrier), CarrierBuilder{}.Build());
    EXPECT_FALSE(h.job.HiddenMark);
}

TEST(HideCommand, PasswordOptionSwitchesTheBoxes) {
    WorkflowHarness h;
    h.TickPassword(true);
    EXPECT_TRUE(h.view.passwordBoxesEnabled);
    h.TickPassword(false);
    EXPECT_FALSE(h.view.passwordBoxesEnabled);
}

TEST(HideCommand, StoresThePasswordOnlyForAProtectedHide) {
    struct Case {
        bool tick;
        std::string password;
        std::uint8_t flagByte;
        std::uint8_t length;
        std::string field;
    };
    const Case cases[] = {
        {true, "", 0x18, 0, "        "},
        {true, "abc", 0x18, 3, "abc     "},
        {true, "12345678", 0x18, 8, "12345678"},
        {false, "typed", 0x10, 0, "55555555"},  // boxes keep text but the option is off
    };
    for (const Case& c : cases) {
        WorkflowHarness h;
        std::string carrier = h.WriteCarrier("c.bmp");
        h.HideFile(carrier, h.WriteFile("m.txt", RandomBytes(20, 1)), c.password, c.tick);
        EXPECT_EQ(h.TakeBoxes().back(), kDoneBox);
        auto bytes = ReadAll(carrier);
        EXPECT_EQ(bytes[9], c.flagByte);
        EXPECT_EQ(bytes[57], c.length);
        EXPECT_EQ(std::string(bytes.begin() + 58, bytes.begin() + 66), c.field);
        EXPECT_TRUE(h.job.HiddenMark);
    }
}

// A protected hide followed by an unprotected one in the same run stores no password.
TEST(HideCommand, UnprotectedHideAfterAProtectedOneStoresTheFiller) {
    WorkflowHarness h;
    h.HideFile(h.WriteCarrier("one.bmp"), h.WriteFile("m.txt", {1, 2}), "secret", true);
    std::string second = h.WriteCarrier("two.bmp");
    h.HideFile(second, h.WriteFile("n.txt", {3}), "secret", false);
    auto bytes = ReadAll(second);
    EXPECT_EQ(bytes[57], 0);
    EXPECT_EQ(std::string(bytes.begin() + 58, bytes.begin() + 66), "55555555");
}

TEST(HideCommand, StartBoxComesFirstAndTheWindowIsBusyWhileThePassRuns) {
    WorkflowHarness h;
    std::vector<bool> busyDuringYields;
    h.platform.OnYield([&] { busyDuringYields.push_back(h.view.Busy()); });
    h.HideFile(h.WriteCarrier("c.bmp"), h.WriteFile("m.txt", RandomBytes(30, 1)));
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{kStartBox, kDoneBox}));
    ASSERT_EQ(busyDuringYields.size(), 10u);
    EXPECT_EQ(busyDuringYields, std::vector<bool>(10, true));
    EXPECT_FALSE(h.view.Busy());
    EXPECT_EQ(h.view.CaptionOf(Caption::Labtmp), "嵌入完成！");
    EXPECT_EQ(h.view.CaptionOf(Caption::labfinish), "100%");
}

TEST(HideCommand, TooLargeMessageLeavesTheCarrierAndTheWindowUnchanged) {
    WorkflowHarness h;
    std::string carrier = h.WriteCarrier("c.bmp");
    h.HideFile(carrier, h.WriteFile("m.txt", RandomBytes(7498, 1)));
    EXPECT_EQ(h.TakeBoxes(),
              (std::vector<Box>{kStartBox, {texts::kTooLarge, 16, std::string("注意")}}));
    EXPECT_EQ(ReadAll(carrier), CarrierBuilder{}.Build());
    EXPECT_FALSE(h.job.HiddenMark);
    EXPECT_FALSE(h.view.Busy());
}

// Without trace, a message within the safe size is hidden at once; a larger one only after the
// user agrees, and one past what the picture carries not at all. Nothing is written before.
TEST(HideCommand, NoTraceHideWeighsTheMessageAgainstThePictureFirst) {
    const std::uint64_t samples = 3 * 200 * 200;
    const std::uint64_t safe = *stealth::StealthCapacity::SafeFile(samples, 5);  // "m.txt"
    const std::uint64_t largest = *stealth::StealthCapacity::LargestFile(samples, 5);
    const Box question{texts::kStealthLarge, 36, std::string("选择")};
    const Box tooLarge{texts::kTooLarge, 16, std::string("注意")};
    struct Case {
        std::uint64_t length;
        std::optional<int> answer;
        std::vector<Box> boxes;
        bool hidden;
    };
    const Case cases[] = {
        {safe, std::nullopt, {kStartBox, kDoneBox}, true},
        {safe + 1, kAnswerNo, {question}, false},
        {safe + 1, kAnswerYes, {question, kStartBox, kDoneBox}, true},
        {largest + 1, std::nullopt, {tooLarge}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        WorkflowHarness h;
        const CarrierBuilder picture{.width = 200, .height = 200};
        std::string carrier = h.WriteCarrier("c.bmp", picture);
        if (c.answer) h.platform.AnswerQuestion(*c.answer);
        h.view.encryptTicked = h.view.stealthTicked = true;
        h.HideFile(carrier, h.WriteFile("m.txt", RandomBytes(c.length, 2)), "tide", true);
        EXPECT_EQ(h.TakeBoxes(), c.boxes);
        EXPECT_EQ(ReadAll(carrier) != picture.Build(), c.hidden);
        EXPECT_EQ(GetLE32(ReadAll(carrier), 6), 0u);
        EXPECT_FALSE(h.job.HiddenMark);
        EXPECT_FALSE(h.view.Busy());
    }
}

// The no-trace option is offered only while the password is encrypted; ticked but not offered,
// it changes nothing.
TEST(HideCommand, NoTraceIsOfferedOnlyForAnEncryptedPassword) {
    WorkflowHarness h;
    h.view.encryptTicked = true;
    h.TickPassword(true);
    EXPECT_TRUE(h.view.stealthEnabled);
    h.view.encryptTicked = false;
    h.hide.ChkEncrypt_Click();
    EXPECT_FALSE(h.view.stealthEnabled);
    h.view.encryptTicked = true;
    h.hide.ChkEncrypt_Click();
    EXPECT_TRUE(h.view.stealthEnabled);
    h.TickPassword(false);
    EXPECT_FALSE(h.view.stealthEnabled);

    h.view.stealthTicked = true;
    std::string carrier = h.WriteCarrier("c.bmp");
    h.HideFile(carrier, h.WriteFile("m.txt", {1, 2, 3}));
    EXPECT_EQ(h.TakeBoxes(), (std::vector<Box>{kStartBox, kDoneBox}));
    EXPECT_TRUE(h.job.HiddenMark) << "an unprotected hide, marked as always";
}

// The picture checked when it was chosen is the only one a command works on: gone, or another
// file put in its place since, the user is told so and nothing is written anywhere.
TEST(HideCommand, PictureGoneOrReplacedSinceChosenIsNeverWritten) {
    enum class Since { Gone, Replaced };
    struct Case {
        Since since;
        bool extract;
        bool noTrace;
        const char* prompt;
    };
    const Case cases[] = {
        {Since::Gone, false, false, texts::kCarrierGone},
        {Since::Replaced, false, false, texts::kCarrierReplaced},
        {Since::Replaced, false, true, texts::kCarrierReplaced},
        {Since::Gone, true, false, texts::kCarrierGone},
        {Since::Replaced, true, false, texts::kCarrierReplaced},
        {Since::Replaced, true, true, texts::kCarrierReplaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.prompt) + (c.extract ? " extract" : " hide") +
                     (c.noTrace ? " no trace" : ""));
        WorkflowHarness h;
        h.view.encryptTicked = h.view.stealthTicked = c.noTrace;
        std::string carrier = h.WriteCarrier("c.bmp");
        std::string message = h.WriteFile("m.txt", RandomBytes(40, 3));
        if (c.extract) h.HideFile(carrier, message, "pw", c.noTrace);
        h.OpenCarrier(carrier);
        h.ChooseMessage(message);
        h.platform.ClearRecords();
        std::vector<std::uint8_t> standing = ReadAll(carrier);
        if (c.since == Since::Gone) {
            ASSERT_EQ(::unlink(carrier.c_str()), 0);
        } else {  // as an editor saves: a new file renamed over the old
            WriteAll(carrier + ".new", standing);
            ASSERT_EQ(::rename((carrier + ".new").c_str(), carrier.c_str()), 0);
        }
        h.view.password = h.view.repeat = "pw";
        if (c.extract)
            h.extract.cmdout_Click();
        else
            h.hide.cmdadd_Click();
        std::vector<Box> boxes = h.TakeBoxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_TRUE(boxes.back().prompt.starts_with(c.prompt)) << boxes.back().prompt;
        EXPECT_EQ(boxes.back().style, 16);
        EXPECT_EQ(Exists(carrier), c.since == Since::Replaced);
        if (c.since == Since::Replaced) {
            EXPECT_EQ(ReadAll(carrier), standing);
        }
        EXPECT_TRUE(ListFolder(h.outDir).empty());
    }
}

}  // namespace
}  // namespace velquist
