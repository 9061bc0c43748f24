// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"
#include "support/TempDir.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;

// A folder with a 100 x 100 carrier, a 10-byte message and an empty output folder.
struct Scene {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    std::string message = dir.File("m.txt");
    std::string out = dir.File("out");

    Scene() {
        WriteAll(carrier, CarrierBuilder{}.Build());
        WriteAll(message, RandomBytes(10, 1));
        ::mkdir(out.c_str(), 0755);
    }
    void HideFirst(const std::string& password = "") const {
        CliRunner runner = CliRunner::WithInput(password + "\n");
        std::vector<std::string> args = {"hide", carrier, message};
        if (!password.empty()) args.push_back("--password-stdin");
        ASSERT_EQ(runner.Run(args).code, 0);
    }
    // Another process's lock, as a hide or wipe running elsewhere holds it.
    void LockCarrier() {
        lockFd = ::open(carrier.c_str(), O_RDONLY | O_CLOEXEC);
        ::flock(lockFd, LOCK_EX);
    }
    ~Scene() {
        if (lockFd >= 0) ::close(lockFd);
    }
    int lockFd = -1;
    void SetMarker(std::uint32_t marker) const {
        auto bytes = ReadAll(carrier);
        PutLE32(bytes, 6, marker);
        WriteAll(carrier, bytes);
    }
};

bool FaultOn(FileOp op, int number, FileOp wantedOp, int wantedNumber) {
    return op == wantedOp && number == wantedNumber;
}

TEST(CliRefusal, EveryRefusalHasItsExitStatusAndMessageAndChangesNothing) {
    using Setup = std::function<std::vector<std::string>(Scene&)>;
    struct Case {
        std::string name;
        Setup setup;
        int code;
        std::string err;  // PATH stands for the scene's folder
        CliRunner runner = {};
        std::vector<std::string> outputs = {};  // what the output folder holds afterwards
    };
    auto faultOn = [](FileOp op, int number, std::string input = "") {
        CliRunner runner = CliRunner::WithFault([=](FileOp o, int n) { return FaultOn(o, n, op, number); });
        runner.stdinText = input;
        return runner;
    };
    const std::vector<Case> cases = {
        {"hide into a carrier that holds data",
         [](Scene& s) { s.HideFirst(); return std::vector<std::string>{"hide", s.carrier, s.message}; },
         3, Line(cli_texts::kHideHasData)},
        {"hide a message too large",
         [](Scene& s) { WriteAll(s.message, RandomBytes(7498, 2)); return std::vector<std::string>{"hide", s.carrier, s.message}; },
         3, Line(cli_texts::kTooLarge)},
        {"extract from an empty carrier",
         [](Scene& s) { return std::vector<std::string>{"extract", s.carrier, "--output-dir", s.out}; },
         3, Line(cli_texts::kNothingToExtract)},
        {"wipe an empty carrier",
         [](Scene& s) { return std::vector<std::string>{"wipe", s.carrier}; },
         3, Line(cli_texts::kNoHidden)},
        {"extract another format version",
         [](Scene& s) { s.HideFirst(); s.SetMarker(0x3000000A); return std::vector<std::string>{"extract", s.carrier, "--output-dir", s.out}; },
         3, Line(cli_texts::kOtherVersion)},
        {"extract with the wrong password",
         [](Scene& s) { s.HideFirst("right"); return std::vector<std::string>{"extract", s.carrier, "--output-dir", s.out, "--password-stdin"}; },
         3, Line(cli_texts::kWrongPassword), CliRunner::WithInput("wrong\n")},
        {"picture locked by another program",
         [](Scene& s) { s.LockCarrier(); return std::vector<std::string>{"hide", s.carrier, s.message}; },
         3, Line(cli_texts::kCarrierBusy)},
        {"output exists and no --force",
         [](Scene& s) { s.HideFirst(); WriteAll(s.out + "/output.txt", {}); return std::vector<std::string>{"extract", s.carrier, "--output-dir", s.out}; },
         3, Line(std::string(cli_texts::kOutputExists) + "PATH/out/output.txt"), {}, {"output.txt"}},
        {"output is the picture itself",
         [](Scene& s) { s.HideFirst(); EXPECT_EQ(::symlink(s.carrier.c_str(), (s.out + "/output.txt").c_str()), 0); return std::vector<std::string>{"extract", s.carrier, "--output-dir", s.out, "--force"}; },
         3, Line(cli_texts::kOutputIsCarrier), {}, {"output.txt"}},
        {"missing picture",
         [](Scene& s) { return std::vector<std::string>{"inspect", s.dir.File("none.bmp")}; },
         4, Line(cli_texts::kCannotOpenPicture) + "PATH/none.bmp: no such file or folder\n"},
        {"folder for a picture",
         [](Scene& s) { return std::vector<std::string>{"hide", s.out, s.message}; },
         4, Line(cli_texts::kCannotOpenPicture) + "PATH/out: not a regular file\n"},
        {"compressed picture",
         [](Scene& s) { WriteAll(s.carrier, CarrierBuilder{.compression = 1}.Build()); return std::vector<std::string>{"hide", s.carrier, s.message}; },
         4, Line(cli_texts::kNotUncompressed)},
        {"picture too short for its header",
         [](Scene& s) { auto b = ReadAll(s.carrier); b.resize(29); WriteAll(s.carrier, b); return std::vector<std::string>{"inspect", s.carrier}; },
         4, Line(cli_texts::kDamaged)},
        {"picture that is not 24-bit",
         [](Scene& s) { WriteAll(s.carrier, CarrierBuilder{.bitCount = 8}.Build()); return std::vector<std::string>{"hide", s.carrier, s.message}; },
         4, Line(cli_texts::kNot24Bit)},
        {"pixel offset past the end",
         [](Scene& s) { auto b = ReadAll(s.carrier); PutLE32(b, 10, 40000); WriteAll(s.carrier, b); return std::vector<std::string>{"wipe", s.carrier}; },
         4, Line(cli_texts::kDamaged)},
        {"missing message",
         [](Scene& s) { return std::vector<std::string>{"hide", s.carrier, s.dir.File("none.txt")}; },
         5, Line(cli_texts::kMessageUnreadable) + "PATH/none.txt: no such file or folder\n"},
        {"pipe for a message",
         [](Scene& s) { ::mkfifo(s.dir.File("pipe.txt").c_str(), 0600); return std::vector<std::string>{"hide", s.carrier, s.dir.File("pipe.txt")}; },
         5, Line(cli_texts::kMessageUnreadable) + "PATH/pipe.txt: not a regular file\n"},
        {"missing output folder",
         [](Scene& s) { s.HideFirst(); return std::vector<std::string>{"extract", s.carrier, "--output-dir", s.dir.File("gone")}; },
         5, Line(cli_texts::kExtractFailed) + "PATH/gone: the output folder does not exist\n"},
        {"carrier write fails while hiding",
         [](Scene& s) { return std::vector<std::string>{"hide", s.carrier, s.message}; },
         5, Line(cli_texts::kEmbedFailed) + "PATH/carrier.bmp\n", faultOn(FileOp::Write, 1)},
        {"output write fails while extracting",
         [](Scene& s) { s.HideFirst(); return std::vector<std::string>{"extract", s.carrier, "--output-dir", s.out}; },
         5, Line(cli_texts::kExtractFailed) + "PATH/out/output.txt\n", faultOn(FileOp::Write, 2)},
        {"carrier write fails in a format-3 hide",
         [](Scene& s) { return std::vector<std::string>{"hide", s.carrier, s.message, "--format", "3", "--password-stdin"}; },
         5, Line(cli_texts::kStealthHideFailed) + "PATH/carrier.bmp\n", faultOn(FileOp::Write, 1, "pw\n")},
        {"carrier write fails while wiping",
         [](Scene& s) { s.HideFirst(); return std::vector<std::string>{"wipe", s.carrier}; },
         5, Line(cli_texts::kWipeFailed) + "PATH/carrier.bmp\n", faultOn(FileOp::Write, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        auto args = c.setup(scene);
        auto before = ReadAll(scene.carrier);
        CliResult r = c.runner.Run(args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(ReadAll(scene.carrier), before);
        EXPECT_EQ(ListFolder(scene.out), c.outputs);
        std::string err = c.err;
        if (auto at = err.find("PATH"); at != std::string::npos) err.replace(at, 4, scene.dir.path());
        EXPECT_EQ(r.err, err);
    }
}

// Whatever the cut, a carrier that lost part of its message is refused, never half extracted.
TEST(CliRefusal, ProgressivelyTruncatedCarrierIsDamagedAndWritesNoOutput) {
    Scene s;
    WriteAll(s.message, RandomBytes(300, 4));
    s.HideFirst();
    auto whole = ReadAll(s.carrier);
    const std::size_t lastNeeded = 54 + 12 + 100 * 12;
    for (std::size_t length : {std::size_t{0}, std::size_t{10}, std::size_t{29}, std::size_t{30},
                               std::size_t{54}, std::size_t{65}, std::size_t{66}, std::size_t{700},
                               lastNeeded - 1}) {
        SCOPED_TRACE(length);
        WriteAll(s.carrier, std::vector<std::uint8_t>(whole.begin(), whole.begin() + length));
        CliResult r = RunCli({"extract", s.carrier, "--output-dir", s.out});
        EXPECT_EQ(r.code, 4);
        EXPECT_EQ(r.err, Line(cli_texts::kDamaged));
        EXPECT_EQ(ListFolder(s.out), std::vector<std::string>{});
    }
    WriteAll(s.carrier, std::vector<std::uint8_t>(whole.begin(), whole.begin() + lastNeeded));
    EXPECT_EQ(RunCli({"extract", s.carrier, "--output-dir", s.out}).code, 0);
}

}  // namespace
}  // namespace velquist
