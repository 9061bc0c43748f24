// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DesktopTrash.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/FolderPath.h"

namespace velquist {

namespace {

// A folder of this user's, not a link to one.
bool IsOwnFolder(const std::string& path, uid_t user) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == user;
}

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST; }

// The folder and every missing folder above it, private to the user as the desktop makes them.
bool MakeFolders(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT || path.size() <= 1) return false;
    return MakeFolders(FolderOf(path)) && MakeFolder(path);
}

// A trash folder with its two halves, every one of them the user's own.
bool Prepared(const std::string& trash, uid_t user) {
    return MakeFolder(trash) && IsOwnFolder(trash, user) && MakeFolder(trash + "/files") &&
           IsOwnFolder(trash + "/files", user) && MakeFolder(trash + "/info") && IsOwnFolder(trash + "/info", user);
}

// The nearest folder at or above `path` that exists: what says which disk a trash not yet made
// would be on.
std::string NearestExisting(std::string path) {
    struct stat st{};
    while (path.size() > 1 && ::stat(path.c_str(), &st) != 0) path = FolderOf(path);
    return path;
}

// The highest folder above `folder` still on `device`: the top of that disk.
std::string TopOf(std::string folder, dev_t device) {
    while (folder != "/") {
        std::string parent = FolderOf(folder);
        struct stat st{};
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device) break;
        folder = parent;
    }
    return folder;
}

// The path with its folder's links resolved and the file's own name kept (a link is trashed
// as the link); empty when the folder cannot be resolved.
std::string Absolute(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> folder(::realpath(FolderOf(path).c_str(), nullptr), &std::free);
    if (!folder) return {};
    return WithSeparator(folder.get()) + BaseNameOf(path);
}

// The Path key's form: every byte but the unreserved characters of a URL and the separators
// as %XX.
std::string Escaped(const std::string& path) {
    constexpr const char* kHex = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char c : path) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     std::strchr("-_.!~*'()/", c) != nullptr;
        if (plain && c != '\0') {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 15];
        }
    }
    return escaped;
}

std::string InfoText(const std::string& named) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + Escaped(named) + "\nDeletionDate=" + date + "\n";
}

bool WriteWhole(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return ::fsync(fd) == 0;
}

// 0, or why `from` could not take the name `to`; a name that is taken stays as it is.
int MoveWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system that cannot refuse to replace: the look before is as narrow as it allows.
    struct stat st{};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

DesktopTrash::DesktopTrash(std::string homeTrash, uid_t user) : homeTrash_(std::move(homeTrash)), user_(user) {}

DesktopTrash DesktopTrash::OfThisUser() {
    const uid_t user = ::geteuid();
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return DesktopTrash(std::string(data) + "/Trash", user);
    std::string home;
    if (const char* set = std::getenv("HOME"); set && set[0] == '/')
        home = set;
    else if (const passwd* entry = ::getpwuid(user); entry && entry->pw_dir)
        home = entry->pw_dir;
    return DesktopTrash(home.empty() ? std::string() : home + "/.local/share/Trash", user);
}

std::string DesktopTrash::TrashAtTop(const std::string& top) const {
    const std::string uid = std::to_string(user_);
    const std::string shared = WithSeparator(top) + ".Trash";
    struct stat st{};
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0 &&
        Prepared(shared + "/" + uid, user_))
        return shared + "/" + uid;
    const std::string own = WithSeparator(top) + ".Trash-" + uid;
    return Prepared(own, user_) ? own : std::string();
}

// The home trash takes what is on its own disk, and the info file names it by its absolute
// path; any other disk's trash is at its top and names it from there.
std::string DesktopTrash::TrashFor(const std::string& path, dev_t device, std::string& named) const {
    struct stat st{};
    if (!homeTrash_.empty() && ::stat(NearestExisting(homeTrash_).c_str(), &st) == 0 && st.st_dev == device) {
        named = path;
        return MakeFolders(FolderOf(homeTrash_)) && Prepared(homeTrash_, user_) ? homeTrash_ : std::string();
    }
    const std::string top = TopOf(FolderOf(path), device);
    named = path.substr(WithSeparator(top).size());
    return TrashAtTop(top);
}

// The info file first, claimed with O_EXCL, so that two programs trashing files of one name at
// once never share it; then the file under the same name, never replacing one that is there.
DesktopTrash::Result DesktopTrash::MoveToTrash(const std::string& given) const {
    const std::string path = Absolute(given);
    struct stat st{};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) return Result::Failed;
    std::string named;
    const std::string trash = TrashFor(path, st.st_dev, named);
    if (trash.empty()) return Result::NoTrash;
    const std::string text = InfoText(named);
    for (int copy = 1; copy < 1000; ++copy) {
        const std::string name = BaseNameOf(path) + (copy == 1 ? "" : "." + std::to_string(copy));
        const std::string info = trash + "/info/" + name + ".trashinfo";
        int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return Result::Failed;
        bool written = WriteWhole(fd, text);
        if (::close(fd) != 0) written = false;
        const int error = written ? MoveWithoutReplacing(path, trash + "/files/" + name) : EIO;
        if (error == 0) return Result::Trashed;
        ::unlink(info.c_str());
        if (error == EEXIST) continue;
        return error == EXDEV ? Result::NoTrash : Result::Failed;
    }
    return Result::Failed;
}

}  // namespace velquist
