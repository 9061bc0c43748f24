// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/NumberedFiles.h"
#include "platform/SignalCleanup.h"
#include "platform/SequentialReader.h"
#include "platform/SequentialWriter.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Bytes = std::vector<std::uint8_t>;

TEST(NumberedFiles, OpeningNeverCreatesAndKeepsAnExistingFile) {
    TempDir dir;
    NumberedFiles files;
    EXPECT_THROW(files.OpenReadOnly(1, dir.File("missing.bmp")), FileError);
    EXPECT_THROW(files.OpenExisting(1, dir.File("missing.bmp")), FileError);
    EXPECT_FALSE(Exists(dir.File("missing.bmp")));
    EXPECT_FALSE(files.IsOpen(1));

    WriteAll(dir.File("old.bin"), {1, 2, 3, 4, 5});
    files.OpenExisting(2, dir.File("old.bin"));
    const std::uint8_t nine[] = {9};
    files.WriteAt(2, 1, nine);
    files.Close(2);
    EXPECT_EQ(ReadAll(dir.File("old.bin")), (Bytes{1, 9, 3, 4, 5}));
}

TEST(NumberedFiles, OffsetsAreZeroBasedAndStreamsOwnTheirPosition) {
    TempDir dir;
    WriteAll(dir.File("f"), {});
    NumberedFiles files;
    files.OpenExisting(1, dir.File("f"));
    SequentialWriter writer(files, 1);
    writer.Write(Bytes{1, 2, 3, 4});
    writer.Write(Bytes{5, 6});  // continues after the last byte written
    const std::uint8_t text[] = {'a', 'b'};
    files.WriteAt(1, 6, text);
    EXPECT_EQ(ReadAll(dir.File("f")), (Bytes{1, 2, 3, 4, 5, 6, 'a', 'b'}));
    SequentialReader reader(files, 1);
    Bytes four(4), two(2);
    reader.Read(four);
    reader.Read(two);  // continues after the last byte read
    EXPECT_EQ(four, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(two, (Bytes{5, 6}));
    files.ReadAt(1, 1, two);
    EXPECT_EQ(two, (Bytes{2, 3}));
    // A negative offset is refused, never taken as "here" or wrapped.
    EXPECT_THROW(files.ReadAt(1, -1, two), FileError);
    EXPECT_THROW(files.WriteAt(1, -2, two), FileError);
    EXPECT_EQ(ReadAll(dir.File("f")).size(), 8u);
}

TEST(NumberedFiles, ReadPastTheEndIsAnErrorNotZeros) {
    TempDir dir;
    WriteAll(dir.File("f"), {1, 2, 3});
    NumberedFiles files;
    files.OpenReadOnly(1, dir.File("f"));
    Bytes four(4);
    EXPECT_THROW(files.ReadAt(1, 0, four), FileError);
    std::uint8_t one[1];
    try {
        files.ReadAt(1, 3, one);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("read ", 0), 0u) << e.what();
        EXPECT_EQ(e.path(), dir.File("f"));
        EXPECT_EQ(e.cause(), FileCause::Changed);
    }
}

TEST(NumberedFiles, FailuresNameTheOperationAndPath) {
    TempDir dir;
    NumberedFiles files;
    ::mkdir(dir.File("folder").c_str(), 0755);
    // A folder where a file is expected, and a file in a missing folder.
    for (const std::string& path : {dir.File("folder"), dir.File("no/such/file")}) {
        try {
            files.OpenExisting(1, path);
            FAIL() << path;
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("open ", 0), 0u) << e.what();
            EXPECT_EQ(e.path(), path);
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        }
    }
    EXPECT_FALSE(files.IsOpen(1));
    std::uint8_t four[4];
    EXPECT_THROW(files.ReadAt(3, 0, four), FileError);  // never opened
    WriteAll(dir.File("ro"), {0});
    files.OpenReadOnly(1, dir.File("ro"));
    EXPECT_THROW(files.WriteAt(1, 0, four), FileError);  // written through a read-only open
}

TEST(NumberedFiles, InjectedFaultsFailTheChosenOperation) {
    TempDir dir;
    WriteAll(dir.File("f"), {});
    WriteAll(dir.File("g"), {});
    NumberedFiles files;
    int writes = 0;
    files.SetFaultHook([&](FileOp op, int) { return op == FileOp::Write && ++writes == 2; });
    files.OpenExisting(1, dir.File("f"));
    const std::uint8_t word[4] = {1, 0, 0, 0};
    files.WriteAt(1, 0, word);
    EXPECT_THROW(files.WriteAt(1, 4, word), FileError);
    files.WriteAt(1, 8, word);
    files.SetFaultHook([](FileOp op, int) { return op == FileOp::Close; });
    EXPECT_THROW(files.Close(1), FileError);
    EXPECT_FALSE(files.IsOpen(1));  // a failed close still releases the number
    files.SetFaultHook({});
    files.OpenExisting(1, dir.File("f"));
    files.OpenExisting(2, dir.File("g"));
    files.CloseAllQuietly();
    EXPECT_FALSE(files.IsOpen(1));
    EXPECT_FALSE(files.IsOpen(2));
}

TEST(NumberedFiles, ANumberCannotBeOpenedTwice) {
    TempDir dir;
    WriteAll(dir.File("a"), {});
    WriteAll(dir.File("b"), {});
    NumberedFiles files;
    files.OpenExisting(1, dir.File("a"));
    EXPECT_THROW(files.OpenExisting(1, dir.File("b")), FileError);
    EXPECT_EQ(files.PathOf(1), dir.File("a"));
}

// Looked at before it is opened: a device or a pipe never sees an open, since some drivers act
// on one (a pipe lets its waiting writer go as soon as a reader opens it).
TEST(NumberedFiles, SpecialFilesAreRefusedWithoutBeingOpened) {
    TempDir dir;
    std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> released{false};
    std::thread writer([&] {
        int fd = ::open(fifo.c_str(), O_WRONLY);  // waits for a reader
        released = true;
        if (fd >= 0) ::close(fd);
    });
    NumberedFiles files;
    for (const std::string& path : {fifo, std::string("/dev/null")}) {
        try {
            files.OpenWritableIfAllowed(1, path);
            FAIL() << path;
        } catch (const FileError& e) {
            EXPECT_EQ(e.cause(), FileCause::NotRegular) << path;
        }
        EXPECT_THROW(files.OpenReadOnly(1, path), FileError);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(released);
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // lets the writer go
    writer.join();
    ::close(reader);
}

// A replacement is private, has a name only while it must, and never outlives its writer:
// closed uncommitted it goes; a name a killed one left is taken over; and what the name leads to
// while it replaces the file stays locked, so that no other command can take a live
// replacement for a stale one.
TEST(NumberedFiles, ReplacementIsPrivateLockedAndNeverOutlivesItsWriter) {
    using Names = std::vector<std::string>;
    for (bool named : {false, true}) {
        SCOPED_TRACE(named ? "named while written" : "unnamed while written");
        TempDir dir;
        const std::string picture = dir.File("p.png");
        const std::string left = dir.File(".p.png.velquist");
        WriteAll(picture, {1, 2, 3});
        NumberedFiles files;
        files.NameTemporaryFiles(named);
        files.OpenExisting(1, picture);
        files.Lock(1, FileService::LockKind::Exclusive);
        files.CreateReplacement(3, 1, picture);
        EXPECT_EQ(ListFolder(dir.path()), named ? (Names{".p.png.velquist", "p.png"}) : Names{"p.png"});
        struct stat st {};
        EXPECT_TRUE(!named || (::stat(left.c_str(), &st) == 0 && (st.st_mode & 0777) == 0600));
        files.CloseQuietly(3);
        EXPECT_EQ(ListFolder(dir.path()), Names{"p.png"});

        WriteAll(left, {9});
        files.CreateReplacement(3, 1, picture);
        const std::uint8_t bytes[] = {4, 5};
        files.WriteAt(3, 0, bytes);
        files.CommitReplacement(3, 1, picture);
        EXPECT_EQ(ReadAll(picture), (Bytes{4, 5}));
        EXPECT_EQ(ListFolder(dir.path()), Names{"p.png"});
        NumberedFiles other;
        other.OpenReadOnly(1, picture);
        try {
            other.Lock(1, FileService::LockKind::Shared);
            ADD_FAILURE() << "the new file is not locked";
        } catch (const FileError& e) {
            EXPECT_EQ(e.cause(), FileCause::Busy);
        }
    }
}

// A program started under nohup, or in the background, keeps its ignored signals; a closed
// pipe on standard output is a write failure, never the end of the process.
TEST(SignalCleanup, SignalsIgnoredAtStartStayIgnoredAndABrokenPipeEndsNothing) {
    EXPECT_EXIT(
        {
            ::signal(SIGHUP, SIG_IGN);
            SignalCleanup::Install();
            ::raise(SIGHUP);
            ::raise(SIGPIPE);
            std::_Exit(7);
        },
        ::testing::ExitedWithCode(7), "");
    EXPECT_EXIT(
        {
            SignalCleanup::Install();
            ::raise(SIGHUP);
            std::_Exit(7);
        },
        ::testing::KilledBySignal(SIGHUP), "");
}

}  // namespace
}  // namespace velquist
