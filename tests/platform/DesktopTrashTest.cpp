// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "platform/DesktopTrash.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;
namespace fs = std::filesystem;
using Result = DesktopTrash::Result;

std::string Text(const std::string& path) {
    auto bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The home trash is made where the account has none, private to the user; the info file names
// where the file was, escaped, and when; a second file of the same name gets a name of its own.
// Where the home trash cannot be made no trash takes the file, and a missing file fails.
TEST(DesktopTrash, HomeTrashIsMadeWhereMissingAndTellsWhereEachFileCameFrom) {
    TempDir dir;
    const std::string trash = dir.File("home/.local/share/Trash");
    fs::create_directories(dir.File("home"));
    fs::create_directories(dir.File("out put"));
    const std::string file = dir.File("out put/naïve 100%.txt");
    const std::regex info("\\[Trash Info\\]\nPath=" + dir.path() +
                          "/out%20put/na%C3%AFve%20100%25\\.txt\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    for (const std::string name : {"naïve 100%.txt", "naïve 100%.txt.2"}) {
        WriteAll(file, {'m'});
        ASSERT_EQ(DesktopTrash(trash, ::geteuid()).MoveToTrash(file), Result::Trashed) << name;
        EXPECT_FALSE(Exists(file));
        EXPECT_EQ(Text(trash + "/files/" + name), "m");
        EXPECT_TRUE(std::regex_match(Text(trash + "/info/" + name + ".trashinfo"), info)) << name;
    }
    for (const char* folder : {"home/.local", "home/.local/share", "home/.local/share/Trash/files"})
        EXPECT_EQ(ModeOf(dir.File(folder)), 0700u) << folder;

    WriteAll(dir.File("blocked"), {});
    WriteAll(file, {'m'});
    EXPECT_EQ(DesktopTrash(dir.File("blocked/Trash"), ::geteuid()).MoveToTrash(file), Result::NoTrash);
    EXPECT_EQ(DesktopTrash(trash, ::geteuid()).MoveToTrash(dir.File("missing")), Result::Failed);
    EXPECT_TRUE(Exists(file));
}

// At the top of another disk an administrator's sticky .Trash holds a folder per user; any other
// .Trash (not sticky, or a link) is passed over for the user's own .Trash-UID, which is used only
// when it is a folder of that user's and no link.
TEST(DesktopTrash, TopTrashIsTheStickyOneOrTheUsersOwn) {
    const uid_t me = ::geteuid();
    const std::string own = "/.Trash-" + std::to_string(me);
    struct Case {
        const char* name;
        mode_t shared;      // the mode of a .Trash there, 0 for none
        bool sharedIsLink;  // .Trash is a link to that folder
        bool ownIsLink;
        uid_t as;
        std::string trash;  // below the top; empty for none
    };
    const Case cases[] = {
        {"nothing there yet", 0, false, false, me, own},
        {"an administrator's sticky .Trash", 01777, false, false, me, "/.Trash/" + std::to_string(me)},
        {"a .Trash that is not sticky", 0777, false, false, me, own},
        {"a .Trash that links to a sticky folder", 01777, true, false, me, own},
        {"a .Trash-UID that is a link", 0, false, true, me, ""},
        {"a .Trash-UID another user made", 0, false, false, me + 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir top;
        const std::string shared = top.File(c.sharedIsLink ? "elsewhere" : ".Trash");
        if (c.shared != 0) {
            fs::create_directory(shared);
            fs::permissions(shared, static_cast<fs::perms>(c.shared));
        }
        if (c.sharedIsLink) fs::create_directory_symlink(shared, top.File(".Trash"));
        if (c.ownIsLink) {
            fs::create_directory(top.File("elsewhere"));
            fs::create_directory_symlink(top.File("elsewhere"), top.path() + own);
        }
        const std::string found = DesktopTrash("", c.as).TrashAtTop(top.path());
        EXPECT_EQ(found, c.trash.empty() ? "" : top.path() + c.trash);
        EXPECT_FALSE(Exists(top.File("elsewhere/files")));
        if (!c.trash.empty()) {
            EXPECT_EQ(ModeOf(found), 0700u);
        }
    }
}

// A file on another disk than the home folder goes to the trash at the top of its own disk,
// named from there, never to the home trash. /dev/shm is the other disk, cleaned up after.
TEST(DesktopTrash, FileOnAnotherDiskGoesToTheTrashAtItsTop) {
    struct stat shm {}, tmp {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(fs::temp_directory_path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second disk to trash a file on";
    TempDir home;
    std::string folder = "/dev/shm/velquist-trash-XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const std::string trash = "/dev/shm/.Trash-" + std::to_string(::geteuid());
    const bool trashWasThere = Exists(trash);
    const std::string name = fs::path(folder).filename().string();  // unique in that trash too
    const std::string file = folder + "/" + name;
    WriteAll(file, {'m'});
    EXPECT_EQ(DesktopTrash(home.File("Trash"), ::geteuid()).MoveToTrash(file), Result::Trashed);
    EXPECT_FALSE(Exists(file) || Exists(home.File("Trash")));
    EXPECT_EQ(Text(trash + "/files/" + name), "m");
    EXPECT_NE(Text(trash + "/info/" + name + ".trashinfo").find("\nPath=" + name + "/" + name + "\n"), std::string::npos);
    fs::remove(trash + "/files/" + name);
    fs::remove(trash + "/info/" + name + ".trashinfo");
    if (!trashWasThere) fs::remove_all(trash);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velquist
