// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "cli/ErrorConsole.h"
#include "cli/Localization.h"
#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"
#include "support/TempDir.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using cli::Language;
namespace t = cli_texts;

TEST(CliLanguage, FirstSetOfLanguageLcAllLcMessagesAndLangDecides) {
    struct Case {
        const char *language, *lcAll, *lcMessages, *lang;
        Language expected;
    };
    const std::vector<Case> cases = {
        {nullptr, nullptr, nullptr, "zh_CN.UTF-8", Language::Chinese},
        {nullptr, nullptr, "zh_TW", "en_GB.UTF-8", Language::Chinese},
        {nullptr, "C", "zh_CN.UTF-8", "zh_CN.UTF-8", Language::English},
        {nullptr, "", "", "zh_SG", Language::Chinese},
        {nullptr, "zh_CN.GB18030", nullptr, nullptr, Language::Chinese},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", Language::English},
        {nullptr, nullptr, nullptr, nullptr, Language::English},
        {nullptr, nullptr, nullptr, "C.UTF-8", Language::English},
        {"zh_CN:en", nullptr, nullptr, "C.UTF-8", Language::Chinese},
        {"en_GB:zh_CN", nullptr, nullptr, "zh_CN.UTF-8", Language::English},
        {"", nullptr, nullptr, "zh_CN.UTF-8", Language::Chinese},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::LanguageOf(c.language, c.lcAll, c.lcMessages, c.lang), c.expected) << c.lang;
}

// The window's words and the command line's message id for every outcome both tell.
struct SharedText {
    const char* window;
    const char* cli;
};
const SharedText kSharedTexts[] = {
    {texts::kNot24Bit, t::kNot24Bit},
    {texts::kHideHasData, t::kHideHasData},
    {texts::kPasswordsDiffer, t::kPasswordsDiffer},
    {texts::kNothingToExtract, t::kNothingToExtract},
    {texts::kNoHidden, t::kNoHidden},
    {texts::kOtherVersion, t::kOtherVersion},
    {texts::kPasswordPrompt, t::kPasswordPrompt},
    {texts::kWrongPassword, t::kWrongPassword},
    {texts::kExtractDone, t::kExtractDone},
    {texts::kWiped, t::kWiped},
    {texts::kBadExtension, t::kBadExtension},
    {texts::kProgressStatus, t::kProgress},
    {texts::kVerifyingPassword, t::kVerifyingPassword},
    {texts::kTooLarge, t::kTooLarge},
    {texts::kEmbedDone, t::kEmbedDone},
    {texts::kEmbedFailed, t::kEmbedFailed},
    {texts::kStealthHideFailed, t::kStealthHideFailed},
    {texts::kRewriteFailed, t::kRewriteFailed},
    {texts::kWipeFailed, t::kWipeFailed},
    {texts::kNoMemoryToWrite, t::kNoMemoryToWrite},
    {texts::kExtractFailed, t::kExtractFailed},
    {texts::kDamaged, t::kDamaged},
    {texts::kNotUncompressed, t::kNotUncompressed},
    {texts::kCannotOpenPicture, t::kCannotOpenPicture},
    {texts::kCarrierBusy, t::kCarrierBusy},
    {texts::kOutputIsCarrier, t::kOutputIsCarrier},
    {texts::kNoMemory, t::kNoMemory},
    {texts::kCauseSeparator, t::kCauseSeparator},
    {texts::kCauseNoSpace, t::kCauseNoSpace},
    {texts::kCausePermission, t::kCausePermission},
    {texts::kCauseNotFound, t::kCauseNotFound},
    {texts::kCauseNotRegular, t::kCauseNotRegular},
    {texts::kCauseChanged, t::kCauseChanged},
    {texts::kCauseBusy, t::kCauseBusy},
};

// An outcome the window also tells reads in Chinese exactly as in the window's box.
TEST(CliLanguage, ChineseCatalogGivesTheWindowsOwnWordsForEverySharedOutcome) {
    cli::UseLanguage(Language::Chinese, VELQUIST_BUILD_LOCALE_DIR);
    for (const auto& shared : kSharedTexts)
        EXPECT_EQ(cli::Tr(std::string(shared.cli)), cli::Trimmed(shared.window)) << shared.cli;
    EXPECT_EQ(cli::Tr(std::string(t::kUsageError)), "用法错误：");
    cli::UseLanguage(Language::English, VELQUIST_BUILD_LOCALE_DIR);
    for (const auto& shared : kSharedTexts) EXPECT_EQ(cli::Tr(std::string(shared.cli)), shared.cli);
}

TEST(CliLanguage, EveryMessageOfARunFollowsTheLanguage) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{}.Build());
    WriteAll(dir.File("m.jpeg"), RandomBytes(10, 3));
    const CliRunner chinese = CliRunner::InChinese();

    CliResult hidden = chinese.Run({"hide", carrier, dir.File("m.jpeg")});
    EXPECT_EQ(hidden.err, Line(texts::kBadExtension) + Line(texts::kEmbedDone));
    CliResult again = RunCli({"hide", carrier, dir.File("m.jpeg")});
    EXPECT_EQ(again.err, Line(t::kHideHasData));
    EXPECT_EQ(chinese.Run({"wipe", carrier}).err, Line(texts::kWiped));
    EXPECT_EQ(chinese.Run({"wipe", carrier}).err, Line(texts::kNoHidden));
    CliResult usage = chinese.Run({"inspect"});
    EXPECT_EQ(usage.err, "用法错误：文件参数的个数不对\n请运行 velquist-cli --help 查看用法。\n");
    EXPECT_TRUE(chinese.Run({"--help"}).out.starts_with("velquist-cli：把一个文件藏进BMP或PNG图片"));
    EXPECT_EQ(RunCli({"--help"}).out, t::kHelp);
}

}  // namespace
}  // namespace velquist
