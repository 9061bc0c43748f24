// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <regex>

#include "platform/DesktopTrash.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;
namespace fs = std::filesystem;

std::string Text(const std::string& path) {
    auto bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The home trash is made where the account has none, down to ~/.local, private to the user; the
// info file is there before the file, names where it was, escaped, and when; a second file of
// the same name gets a name of its own. Where the home trash cannot be made, no trash takes the
// file and it stays.
TEST(DesktopTrash, HomeTrashIsMadeWhereMissingAndTellsWhereEachFileCameFrom) {
    TempDir dir;
    const std::string trash = dir.File("home/.local/share/Trash");
    fs::create_directories(dir.File("home"));
    fs::create_directories(dir.File("out put"));
    const std::string file = dir.File("out put/naïve 100%.txt");
    const DesktopTrash home(trash, ::geteuid());
    const std::regex info("\\[Trash Info\\]\nPath=" + std::regex_replace(dir.path(), std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&") +
                          "/out%20put/na%C3%AFve%20100%25\\.txt\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    for (const std::string& name : {std::string("naïve 100%.txt"), std::string("naïve 100%.txt.2")}) {
        SCOPED_TRACE(name);
        WriteAll(file, {'m', 's', 'g'});
        ASSERT_EQ(home.MoveToTrash(file), DesktopTrash::Result::Trashed);
        EXPECT_FALSE(Exists(file));
        EXPECT_EQ(Text(trash + "/files/" + name), "msg");
        EXPECT_TRUE(std::regex_match(Text(trash + "/info/" + name + ".trashinfo"), info))
            << Text(trash + "/info/" + name + ".trashinfo");
    }
    for (const char* folder : {"home/.local", "home/.local/share", "home/.local/share/Trash",
                               "home/.local/share/Trash/files", "home/.local/share/Trash/info"})
        EXPECT_EQ(ModeOf(dir.File(folder)), 0700u) << folder;

    WriteAll(dir.File("blocked"), {});
    WriteAll(file, {'m'});
    EXPECT_EQ(DesktopTrash(dir.File("blocked/share/Trash"), ::geteuid()).MoveToTrash(file),
              DesktopTrash::Result::NoTrash);
    EXPECT_EQ(DesktopTrash(trash, ::geteuid()).MoveToTrash(dir.File("missing")), DesktopTrash::Result::Failed);
    EXPECT_TRUE(Exists(file));
}

// At the top of another disk, an administrator's sticky .Trash holds a folder per user; any
// other .Trash (not sticky, a link) is passed over for the user's own .Trash-UID, which is used
// only when it is a folder of that user's and no link.
TEST(DesktopTrash, TopTrashIsTheStickyOneOrTheUsersOwn) {
    const uid_t user = ::geteuid();
    const std::string uid = std::to_string(user);
    struct Case {
        const char* name;
        std::function<void(const TempDir&)> prepare;
        std::string trash;  // below the top folder; empty: none can be used
        uid_t as = ::geteuid();
    };
    auto sticky = [](const TempDir& d) {
        fs::create_directory(d.File(".Trash"));
        ::chmod(d.File(".Trash").c_str(), 01777);
    };
    const std::vector<Case> cases = {
        {"nothing there yet", [](const TempDir&) {}, "/.Trash-" + uid},
        {"an administrator's sticky .Trash", sticky, "/.Trash/" + uid},
        {"a .Trash that is not sticky",
         [](const TempDir& d) {
             fs::create_directory(d.File(".Trash"));
             ::chmod(d.File(".Trash").c_str(), 0777);
         },
         "/.Trash-" + uid},
        {"a .Trash that is a link to a sticky folder",
         [&](const TempDir& d) {
             fs::create_directory(d.File("elsewhere"));
             ::chmod(d.File("elsewhere").c_str(), 01777);
             fs::create_directory_symlink(d.File("elsewhere"), d.File(".Trash"));
         },
         "/.Trash-" + uid},
        {"a .Trash-UID that is a link",
         [&](const TempDir& d) {
             fs::create_directory(d.File("elsewhere"));
             fs::create_directory_symlink(d.File("elsewhere"), d.File(".Trash-" + uid));
         },
         ""},
        {"a .Trash-UID that is a file", [&](const TempDir& d) { WriteAll(d.File(".Trash-" + uid), {}); }, ""},
        {"a .Trash-UID of another user's",
         [&](const TempDir& d) { fs::create_directory(d.File(".Trash-" + std::to_string(user + 1))); }, "",
         user + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir top;
        c.prepare(top);
        const std::string found = DesktopTrash("", c.as).TrashAtTop(top.path());
        EXPECT_EQ(found, c.trash.empty() ? "" : top.path() + c.trash);
        if (c.trash.empty()) continue;
        EXPECT_EQ(ModeOf(found), 0700u);
        EXPECT_EQ(ListFolder(found), (std::vector<std::string>{"files", "info"}));
        EXPECT_FALSE(Exists(top.File("elsewhere/files")));
    }
}

// A file on another disk than the home folder goes to the trash at the top of its own disk,
// named from there, and never to the home trash on the other disk.
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
    const std::string name = fs::path(folder).filename().string() + ".txt";
    const std::string file = folder + "/" + name;
    WriteAll(file, {'m'});
    EXPECT_EQ(DesktopTrash(home.File("Trash"), ::geteuid()).MoveToTrash(file), DesktopTrash::Result::Trashed);
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists(home.File("Trash")));
    EXPECT_EQ(ReadAll(trash + "/files/" + name), (std::vector<std::uint8_t>{'m'}));
    EXPECT_NE(Text(trash + "/info/" + name + ".trashinfo").find("\nPath=" + fs::path(folder).filename().string() + "/" + name + "\n"),
              std::string::npos);
    fs::remove(trash + "/files/" + name);
    fs::remove(trash + "/info/" + name + ".trashinfo");
    if (!trashWasThere) fs::remove_all(trash);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velquist
