// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/EmbedPass.h"
#include "platform/SignalCleanup.h"
#include "engine/format/CarrierFormat.h"
#include "support/PassHarness.h"

namespace velquist {
namespace {

using namespace velquist::testing;

// Bits the codec may change in each byte of a group.
constexpr std::uint8_t kCodecBits[12] = {3, 1, 7, 3, 1, 7, 3, 1, 7, 3, 1, 7};

TEST(EmbedPass, TenByteTxtMessageLaysOutTheCarrierByteForByte) {
    PassHarness h;
    auto before = h.MakeCarrier();
    h.MakeMessage(RandomBytes(10, 5), "txt");
    h.Hide();
    auto after = h.Carrier();
    ASSERT_EQ(after.size(), 30054u);
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 6, after.begin() + 10),
              (std::vector<std::uint8_t>{0x0A, 0x00, 0x00, 0x10}));
    EXPECT_EQ(std::string(after.begin() + 54, after.begin() + 57), "txt");
    EXPECT_EQ(after[57], 0);                                               // PwdLen untouched
    EXPECT_EQ(std::string(after.begin() + 58, after.begin() + 66), "55555555");  // the filler
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i >= 6 && i < 10) continue;
        if (i >= 54 && i < 66) continue;
        if (i >= 66 && i < 114) {
            std::size_t k = (i - 66) % 12;
            bool lastGroupField = i < 102 || k == 0 || k == 1 || k == 2 || k == 9;
            std::uint8_t mayChange = lastGroupField ? kCodecBits[k] : 0;
            ASSERT_EQ(after[i] & ~mayChange, before[i] & ~mayChange) << i;
            continue;
        }
        ASSERT_EQ(after[i], before[i]) << i;
    }
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::Completed);
    EXPECT_TRUE(h.job.HiddenMark);
    EXPECT_EQ(h.progress.status, (std::vector<PassStatus>{PassStatus::Embedding, PassStatus::Embedded}));
}

TEST(EmbedPass, PasswordOfThreeCharactersIsStoredPaddedWithSpaces) {
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(10, 5), "txt");
    h.Hide("abc", true);
    auto after = h.Carrier();
    EXPECT_EQ(after[9], 0x18);
    EXPECT_EQ(after[57], 3);
    EXPECT_EQ(std::string(after.begin() + 58, after.begin() + 66), "abc     ");
}

TEST(EmbedPass, EmptyMessageWritesMarkerAndHeaderGroupOnly) {
    PassHarness h;
    auto before = h.MakeCarrier();
    h.MakeMessage({}, "bin");
    h.Hide();
    auto after = h.Carrier();
    EXPECT_EQ(GetLE32(after, 6), 0x10000000u);
    EXPECT_TRUE(std::equal(after.begin() + 66, after.end(), before.begin() + 66));
    EXPECT_TRUE(h.progress.percent.empty());
    EXPECT_EQ(h.progress.status.front(), PassStatus::Embedding);
}

TEST(EmbedPass, ProgressFollowsEveryGroupAndIsReportedOnlyWhenItsNumberChanges) {
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(300, 9));
    h.Hide();
    // Computed in floating point: 29 / 100 * 100 truncates to 28, so two percentages repeat and
    // are not reported again.
    ASSERT_EQ(h.progress.percent.size(), 98u);
    EXPECT_TRUE(std::adjacent_find(h.progress.percent.begin(), h.progress.percent.end()) ==
                h.progress.percent.end());
    EXPECT_EQ(h.progress.percent.front(), 1);
    EXPECT_EQ(h.progress.percent.back(), 100);
    EXPECT_EQ(h.platform.yields(), 100);

    PassHarness big;  // 1,000 groups: 0% to 100% once each, 1,000 yields
    big.MakeCarrier();
    big.MakeMessage(RandomBytes(3000, 2));
    big.Hide();
    ASSERT_EQ(big.progress.percent.size(), 101u);
    EXPECT_EQ(big.progress.percent.front(), 0);
    EXPECT_EQ(big.platform.yields(), 1000);

    // Without an event pump (the command line) nothing is yielded to, and the pass still
    // reaches 100% with the same carrier.
    PassHarness quiet;
    quiet.ctx.pump = nullptr;
    quiet.MakeCarrier();
    quiet.MakeMessage(RandomBytes(3000, 2));
    quiet.Hide();
    EXPECT_EQ(quiet.platform.yields(), 0);
    EXPECT_EQ(quiet.progress.percent.back(), 100);
    EXPECT_EQ(quiet.Carrier(), big.Carrier());
}

TEST(EmbedPass, LargestMessageFitsAndOneByteMoreIsRefusedWithTheCarrierUnchanged) {
    PassHarness h;
    auto before = h.MakeCarrier();
    h.MakeMessage(RandomBytes(7498, 1));
    h.Hide();
    EXPECT_EQ(h.Carrier(), before);
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::TooLarge);
    EXPECT_FALSE(h.job.HiddenMark);
    EXPECT_FALSE(h.platform.Files().IsOpen(1));
    EXPECT_FALSE(h.platform.Files().IsOpen(2));

    h.platform.ClearRecords();
    h.MakeMessage(RandomBytes(7497, 1));
    h.Hide();
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::Completed);
    EXPECT_EQ(GetLE32(h.Carrier(), 6), 0x10000000u | 7497u);
}

TEST(EmbedPass, MessageLongerThanTheLengthFieldIsRefused) {
    PassHarness h;
    // Sparse files: a carrier with room for 16,777,216 bytes, and such a message.
    auto header = CarrierBuilder{.width = 1, .height = 1}.Build();
    WriteAll(h.carrierPath, header);
    ASSERT_EQ(::truncate(h.carrierPath.c_str(), 80'000'000), 0);
    h.job.ImagePath = h.carrierPath;
    h.MakeMessage({});
    ASSERT_EQ(::truncate(h.job.MsgPath.c_str(), carrier::kMaxMessageLength + 1), 0);
    h.Hide();
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::TooLarge);
    auto after = ReadAll(h.carrierPath);
    EXPECT_EQ(after.size(), 80'000'000u);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), after.begin()));
}

TEST(EmbedPass, DamagedCarrierIsRefusedBeforeAnythingIsWritten) {
    for (std::uint32_t offset : {0u, 29u, 30055u, 0xFFFFFFFFu}) {
        PassHarness h;
        auto bytes = CarrierBuilder{}.Build();
        PutLE32(bytes, 10, offset);
        WriteAll(h.carrierPath, bytes);
        h.job.ImagePath = h.carrierPath;
        h.MakeMessage(RandomBytes(10, 1));
        h.Hide();
        EXPECT_EQ(h.lastHide.kind, OutcomeKind::Damaged) << offset;
        EXPECT_EQ(h.Carrier(), bytes);
    }
    PassHarness h;
    WriteAll(h.carrierPath, std::vector<std::uint8_t>(20, 0));
    h.job.ImagePath = h.carrierPath;
    h.MakeMessage(RandomBytes(1, 1));
    h.Hide();
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::Damaged);
}

TEST(EmbedPass, MissingCarrierOrMessageFailsWithoutCreatingAnything) {
    PassHarness h;
    h.MakeMessage(RandomBytes(10, 1));
    h.job.ImagePath = h.dir.File("missing.bmp");
    h.Hide();
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::CarrierGone);
    EXPECT_EQ(h.lastHide.cause, FileCause::NotFound);
    EXPECT_EQ(h.lastHide.path, h.dir.File("missing.bmp"));
    EXPECT_FALSE(Exists(h.dir.File("missing.bmp")));

    h.platform.ClearRecords();
    auto before = h.MakeCarrier();
    h.job.MsgPath = h.dir.File("gone.txt");
    h.Hide();
    // The message is named as the file that failed, never the picture.
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::MessageFailure);
    EXPECT_EQ(h.lastHide.cause, FileCause::NotFound);
    EXPECT_EQ(h.lastHide.path, h.dir.File("gone.txt"));
    EXPECT_FALSE(Exists(h.dir.File("gone.txt")));
    EXPECT_EQ(h.Carrier(), before);
    EXPECT_FALSE(h.job.HiddenMark);
}

// A copy of a small program kept running: nobody, not even root, may open it for writing.
// (The test program itself can outgrow the 24-bit length field in sanitizer builds.)
class RunningProgram {
public:
    explicit RunningProgram(const std::string& path) : path_(path) {
        WriteAll(path_, ReadAll("/bin/sleep"));
        ::chmod(path_.c_str(), 0755);
        char name[] = "sleep";
        char seconds[] = "600";
        char* argv[] = {name, seconds, nullptr};
        if (::posix_spawn(&pid_, path_.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = -1;
    }
    ~RunningProgram() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    bool running() const { return pid_ > 0; }

private:
    std::string path_;
    pid_t pid_ = -1;
};

TEST(EmbedPass, MessageFileThatCanOnlyBeReadIsHidden) {
    PassHarness h;
    std::string busy = h.dir.File("busy.bin");
    RunningProgram running(busy);
    ASSERT_TRUE(running.running());
    ASSERT_LT(::open(busy.c_str(), O_RDWR), 0);
    auto program = ReadAll(busy);
    // One pixel wide: four bytes a row, enough rows for the program.
    auto rows = static_cast<std::int32_t>(program.size() + 50);
    WriteAll(h.carrierPath, CarrierBuilder{.width = 1, .height = rows}.Build());
    h.job.ImagePath = h.carrierPath;
    h.job.MsgPath = busy;
    h.job.MsgExt = "bin";
    h.Hide();
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::Completed);
    ASSERT_EQ(h.Extract(h.dir.File("output.bin")).kind, OutcomeKind::Completed);
    EXPECT_EQ(ReadAll(h.dir.File("output.bin")), program);
}

TEST(EmbedPass, PictureThatHoldsDataByNowIsRefusedUntouched) {
    PassHarness h;
    auto bytes = CarrierBuilder{}.Build();
    PutLE32(bytes, 6, 0x10000005);
    WriteAll(h.carrierPath, bytes);
    h.job.ImagePath = h.carrierPath;
    h.MakeMessage(RandomBytes(30, 3));
    h.Hide();
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::HoldsData);
    EXPECT_EQ(h.Carrier(), bytes);
}

// Special files and a message that shrinks while it is read: the hide names the message and
// the real cause, returns at once, and leaves no password in clear behind.
TEST(EmbedPass, UnusableMessageIsNamedWithItsCause) {
    PassHarness h;
    auto before = h.MakeCarrier();
    std::string fifo = h.dir.File("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), h.dir.path()}) {
        h.job.MsgPath = path;
        h.Hide("secret", true);
        EXPECT_EQ(h.lastHide.kind, OutcomeKind::MessageFailure) << path;
        EXPECT_EQ(h.lastHide.cause, FileCause::NotRegular) << path;
        EXPECT_EQ(h.lastHide.path, path);
        EXPECT_EQ(h.Carrier(), before) << path;
    }
    h.MakeMessage(RandomBytes(300, 3));
    int reads = 0;
    // The message ends early: its second read comes back short.
    h.platform.Files().SetFaultHook([&](FileOp op, int number) {
        if (op == FileOp::Read && number == 2 && ++reads == 1) {
            EXPECT_EQ(::truncate(h.job.MsgPath.c_str(), 3), 0);
        }
        return false;
    });
    h.Hide("secret", true);
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::MessageFailure);
    EXPECT_EQ(h.lastHide.cause, FileCause::Changed);
    auto after = h.Carrier();
    EXPECT_EQ(GetLE32(after, 6), 0u);
    EXPECT_EQ(after[57], 0);
    EXPECT_EQ(std::string(after.begin() + 58, after.begin() + 66), std::string(8, ' '));
}

// The marker word reaches the disk only after every group: a flush comes before it and one
// after it.
TEST(EmbedPass, MarkerIsWrittenBetweenTwoFlushesAfterTheGroups) {
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(100, 3));
    std::vector<FileOp> carrierOps;
    h.platform.Files().SetFaultHook([&](FileOp op, int number) {
        if (number == 1) carrierOps.push_back(op);
        return false;
    });
    h.Hide();
    ASSERT_TRUE(h.lastHide.completed());
    auto last = std::find(carrierOps.begin(), carrierOps.end(), FileOp::Close);
    ASSERT_GE(last - carrierOps.begin(), 4);
    EXPECT_EQ(std::vector<FileOp>(last - 4, last),
              (std::vector<FileOp>{FileOp::Write, FileOp::Flush, FileOp::Write, FileOp::Flush}));
    EXPECT_EQ(std::count(carrierOps.begin(), last, FileOp::Flush), 2);
}

// The password stands in the picture only for the moment before the marker word: every write
// before that finds the field without it.
TEST(EmbedPass, PasswordIsWrittenJustBeforeTheMarkerWord) {
    PassHarness h;
    h.MakeCarrier();
    h.MakeMessage(RandomBytes(100, 3));
    std::vector<bool> passwordBeforeWrite;
    h.platform.Files().SetFaultHook([&](FileOp op, int number) {
        if (op == FileOp::Write && number == 1) {
            auto carrier = h.Carrier();
            passwordBeforeWrite.push_back(std::string(carrier.begin() + 58, carrier.begin() + 64) == "s3cr3t");
        }
        return false;
    });
    h.Hide("s3cr3t", true);
    ASSERT_TRUE(h.lastHide.completed());
    ASSERT_GE(passwordBeforeWrite.size(), 3u);
    EXPECT_TRUE(passwordBeforeWrite.back());  // the marker word's write
    EXPECT_EQ(std::count(passwordBeforeWrite.begin(), passwordBeforeWrite.end(), true), 1);
    EXPECT_EQ(h.Carrier()[57], 6);
}

// A signal that ends the process after the password and the marker word were written, but
// before they were made durable, takes both back: no password in clear, no claim.
TEST(EmbedPass, SignalBeforeTheLastFlushTakesThePasswordAndTheMarkerBack) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(::strsignal(signal));
        PassHarness h;
        h.MakeCarrier();
        h.MakeMessage(RandomBytes(100, 3));
        EXPECT_EXIT(
            {
                SignalCleanup::Install();
                int flushes = 0;
                h.platform.Files().SetFaultHook([&](FileOp op, int number) {
                    if (op == FileOp::Flush && number == 1 && ++flushes == 2) ::raise(signal);
                    return false;
                });
                h.Hide("s3cr3t", true);
                std::_Exit(0);
            },
            ::testing::KilledBySignal(signal), "");
        auto after = h.Carrier();
        EXPECT_EQ(GetLE32(after, 6), 0u);
        EXPECT_EQ(after[57], 0);
        EXPECT_EQ(std::string(after.begin() + 58, after.begin() + 66), std::string(8, ' '));
    }
}

}  // namespace
}  // namespace velquist
