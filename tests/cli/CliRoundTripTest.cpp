// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "engine/stealth/StealthCapacity.h"
#include "support/CarrierBuilder.h"
#include "support/FakeMainView.h"
#include "support/PassHarness.h"
#include "support/PngMaker.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"
#include "workflows/CarrierSelection.h"
#include "workflows/ExtractCommand.h"
#include "workflows/HideCommand.h"
#include "workflows/MessageSelection.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;

TEST(CliRoundTrip, HiddenFileComesBackByteForByteForEveryLengthPictureAndPassword) {
    struct Picture {
        CarrierBuilder builder;
        std::size_t largest;
    };
    // A plain picture, and one with padded rows and a larger info header.
    const std::vector<Picture> pictures = {
        {CarrierBuilder{}, 7497},
        {CarrierBuilder{.width = 33, .height = 17, .pixelOffset = 138}, 420},
    };
    for (const auto& picture : pictures) {
        for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3},
                                   std::size_t{4}, std::size_t{301}, picture.largest}) {
            for (const std::string format : {"", "1", "2"}) {
                // The sealed stream takes 57 bytes more than the message itself.
                if (format == "2" && length + 57 > picture.largest) continue;
                const std::string password = format.empty() ? "" : "pw";
                SCOPED_TRACE(std::to_string(length) + " bytes, format '" + format + "'");
                TempDir dir;
                std::string carrier = dir.File("carrier.bmp");
                WriteAll(carrier, picture.builder.Build());
                auto message = RandomBytes(length, static_cast<std::uint32_t>(length + 7));
                WriteAll(dir.File("secret.bin"), message);

                CliRunner runner = CliRunner::WithInput(password + "\n");
                std::vector<std::string> hide = {"hide", carrier, dir.File("secret.bin")};
                if (!password.empty()) hide.insert(hide.end(), {"--password-stdin", "--format", format});
                CliResult hidden = runner.Run(hide);
                ASSERT_EQ(hidden.code, 0) << hidden.err;
                EXPECT_EQ(hidden.out, "");
                EXPECT_EQ(hidden.err, (format == "1" ? Line(cli_texts::kVersion1Warning) : "") +
                                          Line(cli_texts::kEmbedDone));
                EXPECT_EQ(ReadAll(carrier).size(), picture.builder.Build().size());

                std::vector<std::string> extract = {"extract", carrier, "--output-dir", dir.path()};
                if (!password.empty()) extract.push_back("--password-stdin");
                CliResult taken = runner.Run(extract);
                ASSERT_EQ(taken.code, 0) << taken.err;
                EXPECT_EQ(taken.out, dir.File("output.bin") + "\n");
                EXPECT_EQ(taken.err, Line(cli_texts::kExtractDone));
                EXPECT_EQ(ReadAll(dir.File("output.bin")), message);
            }
        }
    }
}

// Format 3: a message within the safe size is hidden silently, a larger one with a warning
// naming that size, one past what the picture carries not at all; it comes back under its own
// name only with its passphrase, and a wipe with the passphrase leaves nothing to find.
TEST(CliRoundTrip, Format3HidesUnderAPassphraseAndComesBackUnderItsName) {
    const std::uint64_t samples = 3 * 100 * 100;
    const std::uint64_t safe = *stealth::StealthCapacity::SafeFile(samples, 10);  // "secret.bin"
    const std::uint64_t largest = *stealth::StealthCapacity::LargestFile(samples, 10);
    struct Case {
        std::uint64_t length;
        bool warned;
        int code;
    };
    for (const Case c : {Case{0, false, 0}, Case{safe, false, 0}, Case{safe + 1, true, 0},
                         Case{largest, true, 0}, Case{largest + 1, false, 3}}) {
        SCOPED_TRACE(c.length);
        TempDir dir;
        std::string carrier = dir.File("carrier.bmp");
        WriteAll(carrier, CarrierBuilder{}.Build());
        ::mkdir(dir.File("in").c_str(), 0700);
        auto message = RandomBytes(c.length, 12);
        WriteAll(dir.File("in/secret.bin"), message);
        CliResult hidden = CliRunner::WithInput("tide pool\n").Run(
            {"hide", carrier, dir.File("in/secret.bin"), "--format", "3", "--password-stdin"});
        EXPECT_EQ(hidden.code, c.code) << hidden.err;
        std::string warning = c.warned ? Line(cli_texts::kStealthLarge + std::to_string(safe)) : "";
        if (c.code != 0) {
            EXPECT_EQ(ReadAll(carrier), CarrierBuilder{}.Build());
            continue;
        }
        EXPECT_EQ(hidden.err, warning + Line(cli_texts::kEmbedDone));
        EXPECT_EQ(GetLE32(ReadAll(carrier), 6), 0u);

        const std::vector<std::string> extract = {"extract", carrier, "--output-dir", dir.path(),
                                                  "--password-stdin"};
        if (c.length == 0) {
            CliResult wrong = CliRunner::WithInput("tide pooL\n").Run(extract);
            EXPECT_EQ(wrong.code, 3);
            EXPECT_EQ(wrong.err, Line(cli_texts::kNothingToExtract));
            EXPECT_EQ(RunCli({"extract", carrier, "--output-dir", dir.path()}).code, 3)
                << "without a passphrase there is nothing to look for";
            EXPECT_EQ(CliRunner::WithInput("x\n").Run({"wipe", carrier, "--password-stdin"}).code, 3);
        }
        CliResult taken = CliRunner::WithInput("tide pool\n").Run(extract);
        ASSERT_EQ(taken.code, 0) << taken.err;
        EXPECT_EQ(taken.out, dir.File("secret.bin") + "\n");
        EXPECT_EQ(ReadAll(dir.File("secret.bin")), message);

        CliResult wiped = CliRunner::WithInput("tide pool\n").Run({"wipe", carrier, "--password-stdin"});
        EXPECT_EQ(wiped.code, 0) << wiped.err;
        EXPECT_EQ(wiped.err, Line(cli_texts::kWiped));
        EXPECT_EQ(CliRunner::WithInput("tide pool\n").Run(extract).code, 3);
    }
}

TEST(CliRoundTrip, MessageNamesWithoutAThreeCharacterExtensionAreStoredAsMsgWithAWarning) {
    struct Case {
        std::string name;
        std::string stored;
        bool warned;
    };
    const std::vector<Case> cases = {
        {"report.txt", "txt", false}, {"REPORT.TXT", "TXT", false}, {"photo.jpeg", "msg", true},
        {"README", "msg", true},      {"a.b", "msg", true},         {"archive.tar.gz", "msg", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string carrier = dir.File("carrier.bmp");
        WriteAll(carrier, CarrierBuilder{}.Build());
        WriteAll(dir.File(c.name), {1, 2, 3, 4, 5});
        CliResult hidden = RunCli({"hide", carrier, dir.File(c.name)});
        ASSERT_EQ(hidden.code, 0);
        EXPECT_EQ(hidden.err, (c.warned ? Line(cli_texts::kBadExtension) : "") + Line(cli_texts::kEmbedDone));
        CliResult taken = RunCli({"extract", carrier, "--output-dir", dir.path() + "/"});
        EXPECT_EQ(taken.out, dir.File("output." + c.stored) + "\n");
        EXPECT_EQ(ReadAll(dir.File("output." + c.stored)), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    }
}

TEST(CliRoundTrip, ExtractWipeAndWipeLeaveThePictureEmptyAndReadyForTheNextHide) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{}.Build());
    WriteAll(dir.File("m.txt"), RandomBytes(100, 3));
    for (const bool viaExtract : {true, false}) {
        ASSERT_EQ(RunCli({"hide", carrier, dir.File("m.txt")}).code, 0);
        CliResult wiped = viaExtract
                              ? RunCli({"extract", carrier, "--output-dir", dir.path(), "--wipe"})
                              : RunCli({"wipe", carrier});
        EXPECT_EQ(wiped.code, 0);
        EXPECT_EQ(wiped.err, (viaExtract ? Line(cli_texts::kExtractDone) : "") + Line(cli_texts::kWiped));
        EXPECT_EQ(GetLE32(ReadAll(carrier), 6), 0u);
        CliResult again = RunCli({"extract", carrier, "--output-dir", dir.path()});
        EXPECT_EQ(again.code, 3);
        EXPECT_EQ(again.err, Line(cli_texts::kNothingToExtract));
    }
}

// Each command opens the picture once and acts on what it checked under that one descriptor,
// so no one can swap the file between a check and a write. Without a marker word the
// passphrase is asked for while the picture stays open, and a PNG written anew is still opened
// only once.
TEST(CliRoundTrip, EveryCommandOpensThePictureOnce) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{}.Build());
    const png::testing::PngRecipe recipe{.width = 100, .height = 100};
    std::string photo = dir.File("photo.png");
    WriteAll(photo, png::testing::WritePng(recipe, png::testing::PatternSamples(recipe)));
    const std::string m = dir.File("m.txt");
    WriteAll(m, RandomBytes(100, 3));
    ::mkdir(dir.File("out").c_str(), 0700);
    const std::string out = dir.File("out");
    std::vector<std::vector<std::string>> commands = {
        {"inspect", carrier},
        {"hide", carrier, m, "--password-stdin"},
        {"extract", carrier, "--output-dir", out, "--password-stdin", "--wipe"},
        {"hide", carrier, m, "--format", "1", "--password-stdin"},
        {"wipe", carrier, "--password-stdin"},
    };
    for (const std::string& picture : {carrier, photo}) {
        commands.insert(commands.end(), {
            {"hide", picture, m, "--format", "3", "--password-stdin"},
            {"extract", picture, "--output-dir", out, "--password-stdin", "--force"},
            {"extract", picture, "--output-dir", out, "--password-stdin", "--force", "--wipe"},
            {"hide", picture, m, "--format", "3", "--password-stdin"},
            {"wipe", picture, "--password-stdin"},
        });
    }
    for (const auto& args : commands) {
        std::string command;
        for (const std::string& arg : args) command += arg + " ";
        SCOPED_TRACE(command);
        int opens = 0;
        CliRunner runner = CliRunner::WithFault([&opens](FileOp op, int number) {
            if (op == FileOp::Open && number == 1) ++opens;
            return false;
        });
        runner.stdinText = "pw\n";
        CliResult r = runner.Run(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(opens, 1);
    }
    EXPECT_EQ(ReadAll(dir.File("out/m.txt")), ReadAll(m));
}

TEST(CliRoundTrip, ProgressBarIsDrawnOnlyWhenStandardErrorIsATerminal) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{.width = 300, .height = 300}.Build());
    // Two blocks of groups: the command line moves its bar once per block.
    WriteAll(dir.File("m.txt"), RandomBytes(2 * 10922 * 3, 6));
    CliRunner terminal;
    terminal.errIsTerminal = true;
    std::string err = terminal.Run({"hide", carrier, dir.File("m.txt")}).err;
    EXPECT_TRUE(err.starts_with("\rProgress [")) << err;
    EXPECT_NE(err.find("] 50%"), std::string::npos);
    EXPECT_TRUE(err.ends_with("] 100%\n" + Line(cli_texts::kEmbedDone))) << err;
    EXPECT_EQ(RunCli({"extract", carrier, "--output-dir", dir.path()}).err, Line(cli_texts::kExtractDone));
}

// The window's handlers and the command line meet in the carrier file alone.
TEST(CliRoundTrip, CarriersMoveBetweenTheWindowAndTheCommandLine) {
    TempDir dir;
    ScriptedPlatform platform;
    FakeMainView view;
    JobState job;
    job.OutPath = dir.path() + "/";
    CarrierSelection selection(job, platform, view);
    MessageSelection messages(job, platform, view);
    HideCommand hide(job, platform, view);
    ExtractCommand extract(job, platform, view);

    std::string byWindow = dir.File("window.bmp");
    std::string byCli = dir.File("cli.bmp");
    ::mkdir(dir.File("out").c_str(), 0755);
    WriteAll(byWindow, CarrierBuilder{.seed = 4}.Build());
    WriteAll(byCli, CarrierBuilder{.seed = 5}.Build());
    auto message = RandomBytes(1000, 9);
    WriteAll(dir.File("m.dat"), message);

    // Hidden by the window with a password, taken out by the command line.
    selection.Choose(byWindow);
    messages.Choose(dir.File("m.dat"));
    view.passwordTicked = true;
    view.password = view.repeat = "Zq9";
    hide.cmdadd_Click();
    CliResult taken = CliRunner::WithInput("Zq9\n").Run(
        {"extract", byWindow, "--output-dir", dir.File("out"), "--password-stdin"});
    ASSERT_EQ(taken.code, 0) << taken.err;
    EXPECT_EQ(ReadAll(dir.File("out/output.dat")), message);

    // Hidden by the command line with a password, taken out by the window.
    ASSERT_EQ(CliRunner::WithInput("k3y\n").Run({"hide", byCli, dir.File("m.dat"), "--password-stdin"}).code, 0);
    platform.ClearRecords();
    selection.Choose(byCli);
    platform.AnswerInput("k3y");
    platform.AnswerQuestion(kAnswerNo);
    extract.cmdout_Click();
    const auto& boxes = platform.boxes();
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(),
                            [](const auto& box) { return box.prompt == texts::kExtractDone; }));
    EXPECT_EQ(ReadAll(dir.File("output.dat")), message);
}

}  // namespace
}  // namespace velquist
