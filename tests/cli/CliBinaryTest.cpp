#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"
#include "support/TempDir.h"
#include "engine/EngineTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;

// Starts the installed program as a script would: in a session of its own, so it has no
// controlling terminal even when the tests run in one, with `input` on standard input.
CliResult RunProgram(const TempDir& dir, const std::vector<std::string>& args, const std::string& input = "") {
    WriteAll(dir.File(".stdin"), std::vector<std::uint8_t>(input.begin(), input.end()));
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        int in = ::open(dir.File(".stdin").c_str(), O_RDONLY);
        int out = ::open(dir.File(".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(dir.File(".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv = {const_cast<char*>(VELQUIST_CLI_BINARY)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    auto text = [&](const char* name) {
        auto bytes = ReadAll(dir.File(name));
        return std::string(bytes.begin(), bytes.end());
    };
    return CliResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(".stdout"), text(".stderr")};
}

TEST(CliBinary, ScriptHidesInspectsAndExtractsWithThePasswordOnStandardInput) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{.width = 200, .height = 150}.Build());
    auto message = RandomBytes(20000, 11);
    WriteAll(dir.File("data.zip"), message);

    CliResult hidden = RunProgram(dir, {"hide", carrier, dir.File("data.zip"), "--password-stdin"}, "pw\n");
    EXPECT_EQ(hidden.code, 0) << hidden.err;
    EXPECT_EQ(hidden.out, "");
    EXPECT_EQ(hidden.err, Line(cli_texts::kEmbedDone));  // no progress bar without a terminal

    CliResult inspected = RunProgram(dir, {"inspect", "--json", carrier});
    EXPECT_EQ(inspected.code, 0);
    EXPECT_NE(inspected.out.find("\"protected\":true"), std::string::npos) << inspected.out;
    EXPECT_NE(inspected.out.find("\"messageLength\":20000"), std::string::npos) << inspected.out;

    // No terminal and no --password-stdin: refused at once instead of waiting.
    CliResult unasked = RunProgram(dir, {"extract", carrier, "--output-dir", dir.path()});
    EXPECT_EQ(unasked.code, 2);
    EXPECT_EQ(unasked.err, Line(cli_texts::kNoTerminal));

    CliResult taken = RunProgram(dir, {"extract", carrier, "--output-dir", dir.path(), "--password-stdin", "--wipe"}, "pw\n");
    EXPECT_EQ(taken.code, 0) << taken.err;
    EXPECT_EQ(taken.out, dir.File("output.zip") + "\n");
    EXPECT_EQ(ReadAll(dir.File("output.zip")), message);
    EXPECT_EQ(RunProgram(dir, {"wipe", carrier}).code, 3);
}

TEST(CliBinary, ExitStatusReachesTheShell) {
    TempDir dir;
    EXPECT_EQ(RunProgram(dir, {"inspect", dir.File("missing.bmp")}).code, 4);
    EXPECT_EQ(RunProgram(dir, {"inspect"}).code, 2);
    CliResult version = RunProgram(dir, {"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.starts_with("velquist-cli "));
}

}  // namespace
}  // namespace velquist
