// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "CliRunner.h"
#include "cli/CliRequest.h"
#include "cli/CliTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using cli::Command;
namespace t = cli_texts;

TEST(CliRequest, MalformedCommandLinesAreUsageErrorsThatTouchNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{}, t::kNoCommand},
        {{"frobnicate", "a.bmp"}, std::string(t::kUnknownCommand) + "frobnicate"},
        {{"inspect"}, t::kWrongOperands},
        {{"inspect", "a.bmp", "b.bmp"}, t::kWrongOperands},
        {{"hide", "a.bmp"}, t::kWrongOperands},
        {{"inspect", "a.bmp", "--password"}, std::string(t::kUnknownOption) + "--password"},
        // A password on the command line would show in the process list.
        {{"hide", "a.bmp", "m.txt", "--password=abc"}, std::string(t::kUnknownOption) + "--password=abc"},
        {{"extract", "a.bmp", "--json"}, std::string(t::kUnknownOption) + "--json"},
        {{"extract", "a.bmp", "--output-dir"}, t::kMissingDir},
        {{"extract", "a.bmp", "--output-dir="}, t::kMissingDir},
        {{"wipe", "a.bmp", "--wipe"}, std::string(t::kUnknownOption) + "--wipe"},
        {{"--version", "extra"}, t::kWrongOperands},
        {{"extract", "a.bmp", "--wipe=1"}, std::string(t::kUnknownOption) + "--wipe=1"},
        {{"hide", "a.bmp", "m.txt", "--password", "--password-stdin"}, t::kPasswordTwice},
        {{"hide", "a.bmp", "m.txt", "--format", "4"}, t::kBadFormat},
        // A format that needs a password, asked for without one.
        {{"hide", "a.bmp", "m.txt", "--format", "2"}, t::kFormatNeedsPassword},
        {{"hide", "a.bmp", "m.txt", "--format=3"}, t::kStealthNeedsPassphrase},
        {{"hide", "a.bmp", "m.txt", "--format=x"}, t::kBadFormat},
        {{"hide", "a.bmp", "m.txt", "--format"}, t::kBadFormat},
        {{"extract", "a.bmp", "--format", "1"}, std::string(t::kUnknownOption) + "--format"},
        {{"wipe", "a.bmp", "--password", "--password-stdin"}, t::kPasswordTwice},
    };
    for (const auto& c : cases) {
        CliResult r = RunCli(c.args);
        SCOPED_TRACE(c.error);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string(t::kUsageError) + c.error + "\n" + t::kSeeHelp + "\n");
    }
}

TEST(CliRequest, OptionsLandInTheRequestOfTheirSubcommand) {
    cli::UsageError error;
    auto extract = cli::ParseRequest(
        {"extract", "--wipe", "--output-dir=/tmp/out", "--password-stdin", "--force", "--", "-odd.bmp"}, error);
    ASSERT_TRUE(extract) << error.error;
    EXPECT_EQ(extract->command, Command::Extract);
    EXPECT_EQ(extract->picture, "-odd.bmp");
    EXPECT_EQ(extract->outputDir, "/tmp/out");
    EXPECT_TRUE(extract->wipe && extract->passwordStdin && extract->force);
    EXPECT_FALSE(cli::ParseRequest({"extract", "p.bmp"}, error)->force);

    auto spaced = cli::ParseRequest({"extract", "p.bmp", "--output-dir", "d"}, error);
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->outputDir, "d");
    EXPECT_FALSE(spaced->wipe);
    EXPECT_EQ(cli::ParseRequest({"extract", "p.bmp"}, error)->outputDir, ".");

    // Reading the password from standard input is itself a request to protect the message.
    auto hide = cli::ParseRequest({"hide", "p.bmp", "m.txt", "--password-stdin"}, error);
    ASSERT_TRUE(hide);
    EXPECT_EQ(hide->message, "m.txt");
    EXPECT_TRUE(hide->password && hide->passwordStdin);
    EXPECT_EQ(hide->format, 2);
    EXPECT_FALSE(cli::ParseRequest({"hide", "p.bmp", "m.txt"}, error)->password);
    auto typed = cli::ParseRequest({"hide", "p.bmp", "m.txt", "--format", "1", "--password"}, error);
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->format, 1);
    EXPECT_TRUE(typed->password && !typed->passwordStdin);
    EXPECT_TRUE(cli::ParseRequest({"inspect", "p.bmp", "--json"}, error)->json);
}

TEST(CliRequest, HelpDocumentsEverySubcommandAndExitStatusAndVersionNamesTheRelease) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"hide", "--help"}, {"-h"}}) {
        CliResult help = RunCli(args);
        EXPECT_EQ(help.code, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.out, t::kHelp);
    }
    for (const char* word : {"inspect", "hide", "extract", "wipe", "--json", "--password-stdin",
                             "--output-dir", "--wipe", "--force", "--format", "--version"})
        EXPECT_NE(std::string(t::kHelp).find(word), std::string::npos) << word;
    for (int code : {0, 2, 3, 4, 5})
        EXPECT_NE(std::string(t::kHelp).find("  " + std::to_string(code) + "  "), std::string::npos);
    // Both languages fit an 80-column terminal; a Chinese character takes two columns.
    for (const std::string& text : {RunCli({"--help"}).out, CliRunner::InChinese().Run({"--help"}).out}) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            std::size_t columns = 0;
            for (std::size_t i = 0; i < line.size(); ++columns) {
                const auto lead = static_cast<unsigned char>(line[i]);
                const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
                columns += length == 3 ? 1 : 0;
                i += length;
            }
            EXPECT_LE(columns, 79u) << line;
        }
    }

    CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("velquist-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
}

}  // namespace
}  // namespace velquist
