// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"
#include "support/PngMaker.h"
#include "support/TempDir.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;

// How standard output is given to the program: a file the test reads, a full device, a pipe
// no one reads any more, or nothing at all.
enum class Output { File, Full, Pipe, Closed };

struct Start {
    std::string input;
    Output output = Output::File;
    // The locale variables, each "NAME=value"; none set when empty.
    std::vector<std::string> locale;
    // The largest file the program may write, in bytes; no limit when 0.
    rlim_t fileSizeLimit = 0;
    // The most address space the program may have, in bytes; no limit when 0.
    rlim_t memoryLimit = 0;
    // Started as the user nobody, in nobody's group alone.
    bool asNobody = false;
};

// Starts the built program as a script would: in a session of its own, so it has no
// controlling terminal even when the tests run in one, with `input` on standard input.
CliResult RunProgram(const TempDir& dir, const std::vector<std::string>& args, const Start& start = {}) {
    WriteAll(dir.File(".stdin"), std::vector<std::uint8_t>(start.input.begin(), start.input.end()));
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        int in = ::open(dir.File(".stdin").c_str(), O_RDONLY);
        int out = start.output == Output::Full ? ::open("/dev/full", O_WRONLY)
                                               : ::open(dir.File(".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(dir.File(".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (start.output == Output::Closed) ::close(1);
        if (start.output == Output::Pipe) {
            int ends[2];
            if (::pipe(ends) != 0) ::_exit(126);
            ::close(ends[0]);
            ::dup2(ends[1], 1);
        }
        if (start.fileSizeLimit != 0) {
            const rlimit limit{start.fileSizeLimit, start.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (start.memoryLimit != 0) {
            const rlimit limit{start.memoryLimit, start.memoryLimit};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) ::unsetenv(name);
        for (const auto& setting : start.locale) ::putenv(const_cast<char*>(setting.c_str()));
        std::vector<char*> argv;
        if (start.asNobody)
            for (const char* word : {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"})
                argv.push_back(const_cast<char*>(word));
        argv.push_back(const_cast<char*>(VELQUIST_CLI_BINARY));
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

    CliResult hidden = RunProgram(dir, {"hide", carrier, dir.File("data.zip"), "--password-stdin"}, {.input = "pw\n"});
    EXPECT_EQ(hidden.code, 0) << hidden.err;
    EXPECT_EQ(hidden.out, "");
    EXPECT_EQ(hidden.err, Line(cli_texts::kEmbedDone));  // no progress bar without a terminal

    CliResult inspected = RunProgram(dir, {"inspect", "--json", carrier});
    EXPECT_EQ(inspected.code, 0);
    EXPECT_NE(inspected.out.find("\"protected\":true"), std::string::npos) << inspected.out;
    // Encrypted by default: the length field holds the sealed stream, 57 bytes longer.
    EXPECT_NE(inspected.out.find("\"encrypted\":true"), std::string::npos) << inspected.out;
    EXPECT_NE(inspected.out.find("\"messageLength\":20057"), std::string::npos) << inspected.out;

    // No terminal and no --password-stdin: refused at once instead of waiting.
    CliResult unasked = RunProgram(dir, {"extract", carrier, "--output-dir", dir.path()});
    EXPECT_EQ(unasked.code, 2);
    EXPECT_EQ(unasked.err, Line(cli_texts::kNoTerminal));

    CliResult taken = RunProgram(dir, {"extract", carrier, "--output-dir", dir.path(), "--password-stdin", "--wipe"}, {.input = "pw\n"});
    EXPECT_EQ(taken.code, 0) << taken.err;
    EXPECT_EQ(taken.out, dir.File("output.zip") + "\n");
    EXPECT_EQ(ReadAll(dir.File("output.zip")), message);
    EXPECT_EQ(RunProgram(dir, {"wipe", carrier}).code, 3);
}

// Two programs at one picture: while another process holds it (as a hide or a wipe running
// elsewhere does), the program is refused at once and changes nothing; afterwards it works.
TEST(CliBinary, PictureInUseByAnotherProcessIsRefusedAtOnce) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{}.Build());
    WriteAll(dir.File("m.txt"), RandomBytes(30, 2));
    auto before = ReadAll(carrier);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        int fd = ::open(carrier.c_str(), O_RDONLY);
        ::flock(fd, LOCK_EX);
        if (::write(ready[1], "x", 1) != 1) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"hide", carrier, dir.File("m.txt")},
          std::vector<std::string>{"inspect", carrier}}) {
        CliResult refused = RunProgram(dir, args);
        EXPECT_EQ(refused.code, 3) << args[0];
        EXPECT_EQ(refused.err, Line(cli_texts::kCarrierBusy)) << args[0];
    }
    EXPECT_EQ(ReadAll(carrier), before);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(RunProgram(dir, {"hide", carrier, dir.File("m.txt")}).code, 0);
}

TEST(CliBinary, ExitStatusReachesTheShell) {
    TempDir dir;
    EXPECT_EQ(RunProgram(dir, {"inspect", dir.File("missing.bmp")}).code, 4);
    EXPECT_EQ(RunProgram(dir, {"inspect"}).code, 2);
    CliResult version = RunProgram(dir, {"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.starts_with("velquist-cli "));
}

// The path is printed after the wipe, so a path that could not be printed means the rest
// was done and the script must still learn that something failed.
TEST(CliBinary, StandardOutputThatCannotBeWrittenIsAFailure) {
    const std::map<Output, std::string> causes = {{Output::Full, "No space left on device\n"},
                                                  {Output::Pipe, "Broken pipe\n"},
                                                  {Output::Closed, "Bad file descriptor\n"}};
    for (const auto& [output, cause] : causes) {
        TempDir dir;
        std::string carrier = dir.File("carrier.bmp");
        WriteAll(carrier, CarrierBuilder{}.Build());
        auto message = RandomBytes(100, 4);
        WriteAll(dir.File("m.txt"), message);
        ASSERT_EQ(RunProgram(dir, {"hide", carrier, dir.File("m.txt")}).code, 0);

        CliResult taken = RunProgram(dir, {"extract", carrier, "--output-dir", dir.path(), "--wipe"}, {.output = output});
        EXPECT_EQ(taken.code, 5);
        EXPECT_EQ(taken.err, Line(cli_texts::kExtractDone) + Line(cli_texts::kWiped) +
                                 cli_texts::kStdoutFailed + cause);
        EXPECT_EQ(ReadAll(dir.File("output.txt")), message);
        EXPECT_EQ(GetLE32(ReadAll(carrier), 6), 0u);

        CliResult inspected = RunProgram(dir, {"inspect", carrier, "--json"}, {.output = output});
        EXPECT_EQ(inspected.code, 5);
        EXPECT_EQ(RunProgram(dir, {"--help"}, {.output = output}).code, 5);
    }
}

// A message larger than the system lets the program write: the failure names the output and
// the limit, leaves no part of the output, and the picture keeps its message.
TEST(CliBinary, FileSizeLimitIsNamedAndLeavesNothingHalfWritten) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{.width = 200, .height = 150}.Build());
    WriteAll(dir.File("m.txt"), RandomBytes(20000, 5));
    ASSERT_EQ(RunProgram(dir, {"hide", carrier, dir.File("m.txt")}).code, 0);
    auto hidden = ReadAll(carrier);
    ::mkdir(dir.File("out").c_str(), 0700);
    CliResult taken = RunProgram(dir, {"extract", carrier, "--output-dir", dir.File("out"), "--wipe"},
                                 {.fileSizeLimit = 10000});
    EXPECT_EQ(taken.code, 5);
    EXPECT_EQ(taken.out, "");
    EXPECT_EQ(taken.err, Line(cli_texts::kExtractFailed) + dir.File("out/output.txt") +
                             cli_texts::kCauseSeparator + cli_texts::kCauseTooLarge + "\n");
    EXPECT_TRUE(ListFolder(dir.File("out")).empty());
    EXPECT_EQ(ReadAll(carrier), hidden);
}

// A PNG file larger than the memory the program may have: a look judges it by its chunks
// without reading its image data, and a hide, which reads it whole, refuses it as a picture it
// cannot take (never an unexpected error) and leaves it as it was.
TEST(CliBinary, PngLargerThanTheMemoryAtHandIsLookedAtButRefusedForAHide) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a sanitized program reserves terabytes of address space for its shadow";
#endif
    using namespace png::testing;
    TempDir dir;
    const std::string picture = dir.File("huge.png");
    const std::uint32_t imageLength = 1u << 30;
    const Bytes head = Join({Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'},
                             Chunk("IHDR", HeaderData(100, 100, 8, 2)),
                             {0x40, 0, 0, 0, 'I', 'D', 'A', 'T'}});
    // The image data's CRC, which no look reads, and the end.
    const Bytes tail = Join({{0, 0, 0, 0}, Chunk("IEND", {})});
    WriteAll(picture, head);
    ASSERT_EQ(::truncate(picture.c_str(), static_cast<off_t>(head.size() + imageLength)), 0);
    int fd = ::open(picture.c_str(), O_WRONLY | O_APPEND);
    ASSERT_EQ(::write(fd, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    ::close(fd);
    struct stat before{};
    ASSERT_EQ(::stat(picture.c_str(), &before), 0);
    WriteAll(dir.File("m.txt"), RandomBytes(10, 1));

    CliResult look = RunProgram(dir, {"inspect", picture}, {.memoryLimit = 256u << 20});
    EXPECT_EQ(look.code, 0) << look.err;
    EXPECT_TRUE(look.out.starts_with("picture file: png\n")) << look.out;
    const std::vector<std::string> names = ListFolder(dir.path());
    CliResult hide = RunProgram(dir, {"hide", picture, dir.File("m.txt"), "--format", "3", "--password-stdin"},
                                {.input = "pw\n", .memoryLimit = 256u << 20});
    EXPECT_EQ(hide.code, 4);
    EXPECT_EQ(hide.err, Line(cli_texts::kUnsupportedPng));
    struct stat after{};
    ASSERT_EQ(::stat(picture.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(ListFolder(dir.path()), names);
}

// An embedder that runs out of memory, once the key derivation found enough, says so in its own
// words (it is no password that could not be checked), ends with status 5 and leaves the picture
// as it was.
TEST(CliBinary, EmbedderOutOfMemorySaysSoAndLeavesThePictureAsItWas) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a sanitized program reserves terabytes of address space for its shadow";
#endif
    TempDir dir;
    const std::string carrier = dir.File("carrier.bmp");
    const std::vector<std::uint8_t> picture = CarrierBuilder{.width = 4000, .height = 3000}.Build();
    WriteAll(carrier, picture);
    WriteAll(dir.File("m.txt"), RandomBytes(1000, 4));
    // Room for the key derivation's 64 MiB, far from enough for the embedder's keyed order, costs
    // and trellis over twelve megapixels.
    CliResult r = RunProgram(dir, {"hide", carrier, dir.File("m.txt"), "--format", "3", "--password-stdin"},
                             {.input = "pw\n", .memoryLimit = 160u << 20});
    EXPECT_EQ(r.code, 5);
    EXPECT_EQ(r.err, Line(cli_texts::kNoMemoryToWrite));
    EXPECT_EQ(ReadAll(carrier), picture);
}

// Whether `bytes` holds `text` anywhere.
bool Holds(const std::vector<std::uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// A core taken while the program waits in the key derivation, where it holds the password
// longest, holds no copy of it: the password lives only in memory that is never dumped.
TEST(CliBinary, CoreTakenDuringTheKeyDerivationHoldsNoPassword) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a sanitized program's core holds its shadow memory: gigabytes";
#endif
    if (std::system("command -v gdb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gdb here";
    const std::string password = "Zx9-core-probe-4711";
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(dir.File("m.txt"), RandomBytes(200, 6));
    WriteAll(dir.File("pw"), std::vector<std::uint8_t>(password.begin(), password.end()));
    const std::vector<std::vector<std::string>> commands = {
        {"hide", carrier, dir.File("m.txt"), "--password-stdin", "--format", "2"},
        {"extract", carrier, "--output-dir", dir.path(), "--password-stdin"},
        {"hide", carrier, dir.File("m.txt"), "--password-stdin", "--format", "3"},
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0] + " " + args.back());
        if (args[0] == "hide") WriteAll(carrier, CarrierBuilder{}.Build());
        else ASSERT_EQ(RunProgram(dir, {"hide", carrier, dir.File("m.txt"), "--password-stdin"},
                                  {.input = password + "\n"}).code, 0);
        std::string command = "gdb -batch -q -ex 'set breakpoint pending on' -ex 'break crypto_pwhash'"
                              " -ex run -ex 'gcore " + dir.File("core") + "' -ex kill --args " +
                              VELQUIST_CLI_BINARY;
        for (const auto& a : args) command += " '" + a + "'";
        command += " < " + dir.File("pw") + " > " + dir.File("gdb.log") + " 2>&1";
        // Whatever gdb answers, the core and the log below tell what happened.
        [[maybe_unused]] int ended = std::system(command.c_str());
        auto log = ReadAll(dir.File("gdb.log"));
        if (!Exists(dir.File("core")))
            GTEST_SKIP() << "gdb cannot take a core here: " << std::string(log.begin(), log.end());
        ASSERT_TRUE(Holds(log, "Breakpoint 1,")) << std::string(log.begin(), log.end());
        ASSERT_LT(std::filesystem::file_size(dir.File("core")), 256u << 20);
        auto core = ReadAll(dir.File("core"));
        EXPECT_TRUE(Holds(core, carrier)) << "the core holds the program's memory";
        EXPECT_FALSE(Holds(core, password));
        ::unlink(dir.File("core").c_str());
    }
}

// No Chinese locale need be installed: the catalog is found from the build tree and read
// under C.UTF-8.
TEST(CliBinary, MessagesFollowTheLocaleVariables) {
    struct Case {
        std::vector<std::string> locale;
        bool chinese;
    };
    const std::vector<Case> cases = {
        {{}, false},
        {{"LANG=zh_CN.UTF-8"}, true},
        {{"LC_MESSAGES=zh_CN.UTF-8", "LANG=en_US.UTF-8"}, true},
        {{"LC_ALL=C.UTF-8", "LANG=zh_CN.UTF-8"}, false},
        {{"LANG=de_DE.UTF-8", "LANGUAGE=zh_CN"}, true},
        {{"LANGUAGE=en_GB:zh_CN", "LANG=zh_CN.UTF-8"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.empty() ? "none" : c.locale[0]);
        TempDir dir;
        std::string carrier = dir.File("carrier.bmp");
        WriteAll(carrier, CarrierBuilder{}.Build());
        CliResult wiped = RunProgram(dir, {"wipe", carrier}, {.locale = c.locale});
        EXPECT_EQ(wiped.code, 3);
        EXPECT_EQ(wiped.err, c.chinese ? Line(texts::kNoHidden) : Line(cli_texts::kNoHidden));
        CliResult inspected = RunProgram(dir, {"inspect", carrier}, {.locale = c.locale});
        EXPECT_TRUE(inspected.out.starts_with(c.chinese ? "图片文件: bmp\n位数: 24\n" : "picture file: bmp\nbit count: 24\n")) << inspected.out;
    }
}

// A PNG rewritten whole is a new file: it keeps the picture's owner and group where the system
// lets the user give them (root does), and where it does not, the rewrite is refused with the
// picture untouched, even when the user may write it.
TEST(CliBinary, RewriteKeepsThePicturesOwnerOrIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "making pictures of other users needs root";
    constexpr uid_t kNobody = 65534;
    constexpr gid_t kNogroup = 65534;
    struct Case {
        const char* name;
        bool asNobody;
        uid_t owner;
        gid_t group;
        mode_t mode;
        int code;
    };
    const Case cases[] = {
        {"root's picture that nobody may write", true, 0, 0, 0666, 3},
        {"nobody's picture in root's group", true, kNobody, 0, 0664, 3},
        {"nobody's own picture", true, kNobody, kNogroup, 0644, 0},
        {"nobody's picture rewritten by root", false, kNobody, kNogroup, 0604, 0},
    };
    const std::string refused = Line(cli_texts::kRewriteFailed) + "PATH: " + cli_texts::kCauseOwnerNotKept + "\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
        const std::string picture = dir.File("photo.png");
        const png::testing::PngRecipe recipe{.width = 60, .height = 40};
        const std::vector<std::uint8_t> original = png::testing::WritePng(recipe, png::testing::PatternSamples(recipe));
        WriteAll(picture, original);
        ASSERT_EQ(::chown(picture.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(picture.c_str(), c.mode), 0);
        WriteAll(dir.File("m.txt"), RandomBytes(10, 5));
        ASSERT_EQ(::chmod(dir.File("m.txt").c_str(), 0644), 0);

        CliResult r = RunProgram(dir, {"hide", picture, dir.File("m.txt"), "--format", "3", "--password-stdin"},
                                 {.input = "harbour\n", .asNobody = c.asNobody});
        EXPECT_EQ(r.code, c.code);
        std::string err = c.code == 0 ? Line(cli_texts::kEmbedDone) : refused;
        if (auto at = err.find("PATH"); at != std::string::npos) err.replace(at, 4, picture);
        EXPECT_EQ(r.err, err);
        struct stat st {};
        ASSERT_EQ(::stat(picture.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, c.owner);
        EXPECT_EQ(st.st_gid, c.group);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        EXPECT_EQ(ReadAll(picture) == original, c.code != 0);
        EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{".stderr", ".stdin", ".stdout", "m.txt", "photo.png"}));
    }
}

}  // namespace
}  // namespace velquist
