// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"
#include "support/TempDir.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {
namespace {

using namespace velquist::testing;
namespace t = cli_texts;

struct Scene {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    std::string message = dir.File("m.txt");
    Scene() {
        WriteAll(carrier, CarrierBuilder{}.Build());
        WriteAll(message, RandomBytes(50, 8));
    }
    // Version 1, whose stored password the tests can see.
    CliResult Hide(const std::string& stdinLine) const {
        return CliRunner::WithInput(stdinLine).Run(
            {"hide", carrier, message, "--password-stdin", "--format", "1"});
    }
    CliResult Extract(const std::string& stdinLine) const {
        return CliRunner::WithInput(stdinLine).Run(
            {"extract", carrier, "--output-dir", dir.path(), "--password-stdin"});
    }
};

TEST(CliPassword, StoredPasswordMustBeEnteredExactly) {
    Scene s;
    ASSERT_EQ(s.Hide("abc\n").code, 0);
    auto carrier = ReadAll(s.carrier);
    EXPECT_EQ(carrier[9], 0x18);
    EXPECT_EQ(carrier[54 + 3], 3);
    EXPECT_EQ(std::string(carrier.begin() + 58, carrier.begin() + 66), "abc     ");
    for (const std::string wrong : {"ABC\n", "abc \n", "ab\n", "\n"}) {
        CliResult r = s.Extract(wrong);
        EXPECT_EQ(r.code, 3) << wrong;
        EXPECT_EQ(r.err, Line(cli_texts::kWrongPassword));
        EXPECT_FALSE(Exists(s.dir.File("output.txt")));
    }
    // What no version-1 picture can hold is told as such, not as a wrong password.
    for (const std::string impossible : {"abc\r\r\n", "123456789\n", "pässwort\n"}) {
        CliResult r = s.Extract(impossible);
        EXPECT_EQ(r.code, 2) << impossible;
        EXPECT_EQ(r.err, Line(cli_texts::kPasswordTooLong));
        EXPECT_FALSE(Exists(s.dir.File("output.txt")));
    }
    // One line end, "\n" or "\r\n", is not part of the password; none at the end of the input.
    for (const std::string right : {"abc\r\n", "abc"}) {
        EXPECT_EQ(s.Extract(right).code, 0) << right;
        ASSERT_EQ(::unlink(s.dir.File("output.txt").c_str()), 0);
    }
    EXPECT_EQ(s.Extract("abc\n").code, 0);
    EXPECT_EQ(ReadAll(s.dir.File("output.txt")), ReadAll(s.message));
}

TEST(CliPassword, EmptyPasswordIsRefusedWhereverItComesFrom) {
    Scene s;
    auto empty = ReadAll(s.carrier);
    for (const std::string line : {"\n", "\r\n", ""}) {
        CliResult r = s.Hide(line);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err, Line(t::kPasswordEmpty));
        EXPECT_EQ(ReadAll(s.carrier), empty);
    }
    // No key comes from nothing: an encrypted picture never takes an empty password.
    ASSERT_EQ(CliRunner::WithInput("pw\n").Run({"hide", s.carrier, s.message, "--password-stdin"}).code, 0);
    for (const std::string line : {"\n", "\r\n", ""}) {
        CliResult r = s.Extract(line);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err, Line(t::kPasswordEmpty));
        EXPECT_FALSE(Exists(s.dir.File("output.txt")));
    }
}

// The window writes version-1 pictures protected by an empty password; the command line opens
// them with an empty line or an empty answer.
TEST(CliPassword, EmptyStoredVersion1PasswordMatchesAnEmptyEntry) {
    Scene s;
    auto bytes = ReadAll(s.carrier);
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(20, 4));
    h.Hide("", true);
    ASSERT_TRUE(h.lastHide.completed());
    WriteAll(s.carrier, h.Carrier());
    EXPECT_EQ(s.Extract("x\n").code, 3);
    for (const std::string line : {"\n", ""}) {
        EXPECT_EQ(s.Extract(line).code, 0) << line;
        EXPECT_EQ(ReadAll(s.dir.File("output.txt")), ReadAll(h.job.MsgPath));
        ASSERT_EQ(::unlink(s.dir.File("output.txt").c_str()), 0);
    }
}

// A carrier must never hold a password it cannot give back byte for byte.
TEST(CliPassword, PasswordsTheCarrierCannotHoldAreRefusedBeforeAnythingIsWritten) {
    for (const std::string bad : {"123456789\n", "pässwort\n", "tab\there\n", "cr\r\r\n"}) {
        Scene s;
        auto before = ReadAll(s.carrier);
        CliResult r = s.Hide(bad);
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_EQ(r.err, Line(t::kPasswordTooLong));
        EXPECT_EQ(ReadAll(s.carrier), before);
    }
    Scene longest;
    EXPECT_EQ(longest.Hide("~8 chars\n").code, 0);
    EXPECT_EQ(longest.Extract("~8 chars\n").code, 0);
}

// An encrypting password has 1 to 64 characters, a format-3 passphrase 1 to 256 bytes of any
// script; past that nothing is written, and at the limit the file comes back.
TEST(CliPassword, EachFormatTakesPasswordsUpToItsLimit) {
    std::string chinese;
    for (int i = 0; i < 85; ++i) chinese += "密";  // 255 bytes
    struct Case {
        std::string format;
        std::string password;
        const char* refusal;
    };
    const Case cases[] = {
        {"2", std::string(64, 'x'), nullptr},        {"2", std::string(65, 'x'), t::kEncryptedPasswordLength},
        {"3", std::string(256, 'y'), nullptr},       {"3", std::string(257, 'y'), t::kPassphraseLength},
        {"3", chinese + "a", nullptr},               {"3", chinese + "密", t::kPassphraseLength},
        {"3", "", t::kPasswordEmpty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format + ": " + std::to_string(c.password.size()) + " bytes");
        Scene s;
        auto before = ReadAll(s.carrier);
        CliResult hidden = CliRunner::WithInput(c.password + "\n").Run(
            {"hide", s.carrier, s.message, "--password-stdin", "--format", c.format});
        if (c.refusal) {
            EXPECT_EQ(hidden.code, 2);
            EXPECT_EQ(hidden.err, Line(c.refusal));
            EXPECT_EQ(ReadAll(s.carrier), before);
            continue;
        }
        ASSERT_EQ(hidden.code, 0) << hidden.err;
        ::mkdir(s.dir.File("out").c_str(), 0700);
        CliResult taken = CliRunner::WithInput(c.password + "\n").Run(
            {"extract", s.carrier, "--output-dir", s.dir.File("out"), "--password-stdin"});
        ASSERT_EQ(taken.code, 0) << taken.err;
        EXPECT_EQ(ReadAll(taken.out.substr(0, taken.out.size() - 1)), ReadAll(s.message));
    }
}

TEST(CliPassword, WithoutATerminalOrStandardInputNothingWaitsAndNothingIsWritten) {
    Scene s;
    auto before = ReadAll(s.carrier);
    CliResult hide = RunCli({"hide", s.carrier, s.message, "--password"});
    EXPECT_EQ(hide.code, 2);
    EXPECT_EQ(hide.err, Line(t::kNoTerminalForHide));
    EXPECT_EQ(ReadAll(s.carrier), before);

    ASSERT_EQ(s.Hide("abc\n").code, 0);
    CliResult extract = RunCli({"extract", s.carrier, "--output-dir", s.dir.path()});
    EXPECT_EQ(extract.code, 2);
    EXPECT_EQ(extract.err, Line(t::kNoTerminal));
    EXPECT_FALSE(Exists(s.dir.File("output.txt")));
}

// A pseudo-terminal standing in for the user's: it sees what the program writes to it and
// types what the test says.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        path_ = ::ptsname(master_);
        // Held open so the terminal outlives the program's own opening and closing.
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
    }
    ~PseudoTerminal() {
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    bool ok() const { return slave_ >= 0; }
    const std::string& path() const { return path_; }

    // Collects the screen until `text` shows; false after five quiet seconds.
    bool WaitFor(const std::string& text) {
        while (screen_.find(text) == std::string::npos)
            if (!ReadSome(5000)) return false;
        return true;
    }
    void Type(const std::string& text) { ASSERT_EQ(::write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    // Ends the session, so a program still waiting for a line reads the end of the input.
    void HangUp() {
        ::close(master_);
        master_ = -1;
    }
    const std::string& Drain() {
        while (ReadSome(100)) {}
        return screen_;
    }

private:
    bool ReadSome(int timeoutMs) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return false;
        char buf[256];
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) return false;
        screen_.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::string screen_;
};

TEST(CliPassword, TypedPasswordIsNeverEchoedAndMustBeRepeatedIdentically) {
    struct Case {
        std::string first, repeat;
        int code;
    };
    for (const Case& c : {Case{"s3cret", "s3cret", 0}, Case{"s3cret", "S3cret", 3}}) {
        PseudoTerminal tty;
        if (!tty.ok()) GTEST_SKIP() << "no pseudo-terminals here";
        Scene s;
        auto before = ReadAll(s.carrier);
        CliRunner runner = CliRunner::WithTerminal(tty.path());
        CliResult hidden;
        std::thread program([&] { hidden = runner.Run({"hide", s.carrier, s.message, "--password"}); });
        bool asked = tty.WaitFor(t::kPasswordFirst);
        if (asked) tty.Type(c.first + "\n");
        bool repeated = asked && tty.WaitFor(t::kPasswordRepeat);
        if (repeated) tty.Type(c.repeat + "\n");
        const std::string& screen = tty.Drain();
        if (!repeated) tty.HangUp();
        program.join();
        ASSERT_TRUE(repeated) << screen;
        EXPECT_EQ(screen.find("3cret"), std::string::npos) << screen;
        EXPECT_EQ(hidden.code, c.code);
        if (c.code != 0) {
            EXPECT_EQ(hidden.err, Line(cli_texts::kPasswordsDiffer));
            EXPECT_EQ(ReadAll(s.carrier), before);
            continue;
        }
        CliResult taken;
        std::thread extract([&] { taken = runner.Run({"extract", s.carrier, "--output-dir", s.dir.path()}); });
        if (tty.WaitFor(cli_texts::kPasswordPrompt))
            tty.Type("s3cret\n");
        else
            tty.HangUp();
        extract.join();
        EXPECT_EQ(taken.code, 0) << taken.err;
        EXPECT_EQ(ReadAll(s.dir.File("output.txt")), ReadAll(s.message));
    }
}

// Starts the built program with the pseudo-terminal as its controlling terminal, and as its
// standard input too when `stdinIsTerminal`; English messages, output and errors to files.
pid_t StartOnTerminal(const PseudoTerminal& tty, const TempDir& dir, const std::vector<std::string>& args,
                      bool stdinIsTerminal) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        int terminal = ::open(tty.path().c_str(), O_RDWR);
        ::ioctl(terminal, TIOCSCTTY, 0);
        int in = stdinIsTerminal ? terminal : ::open("/dev/null", O_RDONLY);
        int out = ::open(dir.File(".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) ::unsetenv(name);
        std::vector<char*> argv = {const_cast<char*>(VELQUIST_CLI_BINARY)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

bool Echoes(const PseudoTerminal& tty) {
    int fd = ::open(tty.path().c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::close(fd);
    return (settings.c_lflag & ECHO) != 0;
}

TEST(CliPassword, SignalAtThePasswordPromptGivesTheTerminalItsEchoBack) {
    const rlimit noCore{0, 0};  // SIGQUIT would otherwise leave a core file behind
    ASSERT_EQ(::setrlimit(RLIMIT_CORE, &noCore), 0);
    for (int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(::strsignal(signal));
        PseudoTerminal tty;
        if (!tty.ok()) GTEST_SKIP() << "no pseudo-terminals here";
        Scene s;
        auto before = ReadAll(s.carrier);
        pid_t pid = StartOnTerminal(tty, s.dir, {"hide", s.carrier, s.message, "--password"}, false);
        bool asked = tty.WaitFor(t::kPasswordFirst);
        EXPECT_TRUE(asked) << tty.Drain();
        EXPECT_FALSE(Echoes(tty));
        if (signal == SIGINT)
            tty.Type("\x03");  // Ctrl-C, sent by the terminal to its foreground program
        else if (signal == SIGQUIT)
            tty.Type("\x1c");  // Ctrl-backslash, likewise
        else
            ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_TRUE(Echoes(tty));
        EXPECT_EQ(ReadAll(s.carrier), before);
    }
}

TEST(CliPassword, PasswordOnStandardInputFromATerminalIsNotEchoed) {
    PseudoTerminal tty;
    if (!tty.ok()) GTEST_SKIP() << "no pseudo-terminals here";
    Scene s;
    struct Step {
        std::vector<std::string> args;
        const char* prompt;
    };
    for (const Step& step : {Step{{"hide", s.carrier, s.message, "--password-stdin"}, t::kPasswordFirst},
                             Step{{"extract", s.carrier, "--output-dir", s.dir.path(), "--password-stdin"},
                                  t::kPasswordPrompt}}) {
        pid_t pid = StartOnTerminal(tty, s.dir, step.args, true);
        if (tty.WaitFor(step.prompt)) tty.Type("s3cret\n");
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_TRUE(Echoes(tty));
    }
    EXPECT_EQ(tty.Drain().find("3cret"), std::string::npos) << tty.Drain();
    EXPECT_EQ(ReadAll(s.dir.File("output.txt")), ReadAll(s.message));
}

}  // namespace
}  // namespace velquist
