// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/NumberedFiles.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;

TEST(NumberedFiles, OpenCreatesAMissingFileEmptyAndKeepsAnExistingOne) {
    TempDir dir;
    NumberedFiles files;
    files.Open(1, dir.File("new.bin"));
    EXPECT_EQ(files.Length(1), 0);
    files.Close(1);
    EXPECT_TRUE(Exists(dir.File("new.bin")));

    WriteAll(dir.File("old.bin"), {1, 2, 3, 4, 5});
    files.Open(2, dir.File("old.bin"));
    const std::uint8_t nine[] = {9};
    files.PutBlock(2, 2, nine);
    files.Close(2);
    EXPECT_EQ(ReadAll(dir.File("old.bin")), (std::vector<std::uint8_t>{1, 9, 3, 4, 5}));
}

TEST(NumberedFiles, ReadOnlyOpenNeverCreates) {
    TempDir dir;
    NumberedFiles files;
    EXPECT_THROW(files.OpenReadOnly(1, dir.File("missing.bmp")), FileError);
    EXPECT_FALSE(Exists(dir.File("missing.bmp")));
    EXPECT_FALSE(files.IsOpen(1));
}

TEST(NumberedFiles, PositionsAreOneBasedOffsetsZeroBasedAndWordsLittleEndian) {
    TempDir dir;
    NumberedFiles files;
    files.Open(1, dir.File("f"));
    files.PutU32(1, 1, 0x04030201);
    const std::uint8_t next[] = {5, 6};
    files.PutBlock(1, NumberedFiles::kHere, next);  // continues after the last byte written
    const std::uint8_t text[] = {'a', 'b'};
    files.WriteAt(1, 6, text);
    EXPECT_EQ(ReadAll(dir.File("f")), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 'a', 'b'}));
    EXPECT_EQ(files.GetU32(1, 1), 0x04030201u);
    std::uint8_t two[2];
    files.GetBlock(1, NumberedFiles::kHere, two);  // continues after the last byte read
    EXPECT_EQ(std::vector<std::uint8_t>(two, two + 2), (std::vector<std::uint8_t>{5, 6}));
    files.ReadAt(1, 1, two);
    EXPECT_EQ(std::vector<std::uint8_t>(two, two + 2), (std::vector<std::uint8_t>{2, 3}));
}

TEST(NumberedFiles, ReadPastTheEndIsAnErrorNotZeros) {
    TempDir dir;
    WriteAll(dir.File("f"), {1, 2, 3});
    NumberedFiles files;
    files.OpenReadOnly(1, dir.File("f"));
    EXPECT_THROW(files.GetU32(1, 1), FileError);
    std::uint8_t block[8];
    EXPECT_EQ(files.GetUpTo(1, 2, block), 2u);
    std::uint8_t one[1];
    try {
        files.ReadAt(1, 3, one);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("read ", 0), 0u) << e.what();
        EXPECT_EQ(e.path(), dir.File("f"));
    }
}

TEST(NumberedFiles, FailuresNameTheOperationAndPath) {
    TempDir dir;
    NumberedFiles files;
    ::mkdir(dir.File("folder").c_str(), 0755);
    // A folder where a file is expected, and a file in a missing folder.
    for (const std::string& path : {dir.File("folder"), dir.File("no/such/file")}) {
        try {
            files.Open(1, path);
            FAIL() << path;
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("open ", 0), 0u) << e.what();
            EXPECT_EQ(e.path(), path);
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        }
    }
    EXPECT_FALSE(files.IsOpen(1));
    EXPECT_THROW(files.GetU32(3, 1), FileError);  // never opened
    WriteAll(dir.File("ro"), {0});
    files.OpenReadOnly(1, dir.File("ro"));
    EXPECT_THROW(files.PutU32(1, 1, 0), FileError);  // written through a read-only open
}

TEST(NumberedFiles, InjectedFaultsFailTheChosenOperation) {
    TempDir dir;
    NumberedFiles files;
    int writes = 0;
    files.SetFaultHook([&](FileOp op, int) { return op == FileOp::Write && ++writes == 2; });
    files.Open(1, dir.File("f"));
    files.PutU32(1, 1, 1);
    EXPECT_THROW(files.PutU32(1, 5, 2), FileError);
    files.PutU32(1, 9, 3);
    files.SetFaultHook([](FileOp op, int) { return op == FileOp::Close; });
    EXPECT_THROW(files.Close(1), FileError);
    EXPECT_FALSE(files.IsOpen(1));  // a failed close still releases the number
    files.SetFaultHook({});
    files.Open(1, dir.File("f"));
    files.Open(2, dir.File("g"));
    files.SetFaultHook([](FileOp op, int n) { return op == FileOp::Close && n == 1; });
    EXPECT_THROW(files.CloseAll(), FileError);
    EXPECT_FALSE(files.IsOpen(1));
    EXPECT_FALSE(files.IsOpen(2));
}

TEST(NumberedFiles, ANumberCannotBeOpenedTwice) {
    TempDir dir;
    NumberedFiles files;
    files.Open(1, dir.File("a"));
    EXPECT_THROW(files.Open(1, dir.File("b")), FileError);
    EXPECT_FALSE(Exists(dir.File("b")));
    EXPECT_EQ(files.PathOf(1), dir.File("a"));
}

}  // namespace
}  // namespace velquist
