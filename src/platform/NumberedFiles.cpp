// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NumberedFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "platform/ExtendedAttributes.h"
#include "platform/FolderPath.h"
#include "platform/RetractionGuard.h"
#include "platform/TemporaryFileGuard.h"

namespace velquist {

namespace {

PathFacts PathFactsOf(const struct stat& st) {
    PathFacts facts;
    facts.kind = S_ISREG(st.st_mode)   ? PathFacts::Kind::File
                 : S_ISLNK(st.st_mode) ? PathFacts::Kind::Link
                 : S_ISDIR(st.st_mode) ? PathFacts::Kind::Folder
                                       : PathFacts::Kind::Other;
    facts.device = st.st_dev;
    facts.inode = st.st_ino;
    facts.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    facts.mode = st.st_mode;
    facts.owner = st.st_uid;
    facts.group = st.st_gid;
    facts.links = st.st_nlink;
    return facts;
}

// The hidden name a replacement of `file` has beside it while it needs one: the file's own,
// cut to what a folder takes, so that the next command on the file knows where to look.
std::string ReplacementName(const std::string& file) {
    constexpr std::size_t kLongestName = 255;
    constexpr std::string_view kSuffix = ".velquist";
    std::string base = BaseNameOf(file);
    base.resize(std::min(base.size(), kLongestName - 1 - kSuffix.size()));
    return WithSeparator(FolderOf(file)) + "." + base + std::string(kSuffix);
}

bool SameInode(const struct stat& a, const PathFacts& b) {
    return a.st_dev == b.device && a.st_ino == b.inode;
}

}  // namespace

NumberedFiles::~NumberedFiles() { CloseAllQuietly(); }

NumberedFiles::Slot& NumberedFiles::Require(int number, FileOp op) {
    if (number < 1 || number > kMaxNumber)
        throw FileError(op, "#" + std::to_string(number), FileCause::Other, "bad file number",
                        number);
    Slot& slot = slots_[number];
    if (slot.fd < 0)
        throw FileError(op, "#" + std::to_string(number), FileCause::Other,
                        "file number not open", number);
    return slot;
}

void NumberedFiles::CheckFault(FileOp op, int number, const std::string& path) {
    if (faultHook_ && faultHook_(op, number))
        throw FileError(op, path, FileCause::Other, "injected fault", number);
}

void NumberedFiles::CheckOffset(const Slot& slot, FileOp op, int number,
                                std::int64_t offset) const {
    if (offset < 0) throw FileError(op, slot.path, FileCause::Other, "negative offset", number);
}

// Looks before it opens: a device node is never opened, since some drivers act on an open.
int NumberedFiles::OpenChecked(int number, const std::string& path, int flags) {
    CheckFault(FileOp::Open, number, path);
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw FileError(FileOp::Open, path, FileCause::NotRegular,
                        S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file", number);
    // Without O_NONBLOCK, opening a named pipe that replaced the file meanwhile waits for a
    // writer that may never come.
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) throw FileError(FileOp::Open, path, errno, number);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = errno;
        ::close(fd);
        if (!S_ISREG(st.st_mode))
            throw FileError(FileOp::Open, path, FileCause::NotRegular, "not a regular file", number);
        throw FileError(FileOp::Open, path, err, number);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

void NumberedFiles::OpenWith(int number, const std::string& path, int flags, bool readOnly) {
    if (number < 1 || number > kMaxNumber || slots_[number].fd >= 0)
        throw FileError(FileOp::Open, path, FileCause::Other, "file number unavailable", number);
    int fd = OpenChecked(number, path, flags);
    slots_[number] = Slot{fd, path, readOnly};
}

void NumberedFiles::OpenExisting(int number, const std::string& path) {
    OpenWith(number, path, O_RDWR, false);
}

void NumberedFiles::OpenReadOnly(int number, const std::string& path) {
    OpenWith(number, path, O_RDONLY, true);
}

void NumberedFiles::OpenWritableIfAllowed(int number, const std::string& path) {
    try {
        OpenWith(number, path, O_RDWR, false);
    } catch (const FileError& e) {
        if (e.error() != EACCES && e.error() != EPERM && e.error() != EROFS) throw;
        OpenWith(number, path, O_RDONLY, true);
    }
}

// An O_TMPFILE file, or -1 where the file system or the system refuses one (then the caller
// names its file). Linking it later goes through /proc/self/fd, which must be there.
int NumberedFiles::CreateUnnamed(const std::string& folder) {
    if (alwaysNamed_ || ::access("/proc/self/fd", X_OK) != 0) return -1;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return -1;
    throw FileError(FileOp::Create, folder, errno);
}

std::string NumberedFiles::CreateTemporary(int number, const std::string& folder) {
    std::string pattern = WithSeparator(folder) + ".velquist-XXXXXX";
    if (number < 1 || number > kMaxNumber || slots_[number].fd >= 0)
        throw FileError(FileOp::Create, pattern, FileCause::Other, "file number unavailable",
                        number);
    CheckFault(FileOp::Create, number, folder);
    int unnamed = CreateUnnamed(folder);
    if (unnamed >= 0) {
        slots_[number] = Slot{unnamed, folder, false, true};
        return "";
    }
    // mkostemp creates the file 0600: nobody else can read the message while it is written.
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) throw FileError(FileOp::Create, folder, errno, number);
    TemporaryFileGuard::Remember(pattern.c_str());
    slots_[number] = Slot{fd, pattern};
    return pattern;
}

// A hidden name beside the final one for an unnamed file that is to replace a file: the
// exchange that replaces it needs a name on both sides.
std::string NumberedFiles::LinkBeside(Slot& slot, const std::string& finalPath) {
    std::string proc = "/proc/self/fd/" + std::to_string(slot.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = WithSeparator(FolderOf(finalPath)) + ".velquist-" +
                           std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            TemporaryFileGuard::Remember(name.c_str());
            slot.unnamed = false;
            slot.path = name;
            return name;
        }
        if (errno != EEXIST) throw FileError(FileOp::Rename, finalPath, errno);
    }
    throw FileError(FileOp::Rename, finalPath, EEXIST);
}

void NumberedFiles::MoveToFreeName(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        int err = errno;
        if (err == EEXIST)
            throw FileError(FileOp::Rename, to, FileCause::Changed, "the name was taken meanwhile");
        if (err != EINVAL && err != ENOSYS) throw FileError(FileOp::Rename, to, err);
        // A file system without it: a link is just as careful not to replace anything.
        if (::link(from.c_str(), to.c_str()) != 0) {
            if (errno == EEXIST)
                throw FileError(FileOp::Rename, to, FileCause::Changed, "the name was taken meanwhile");
            throw FileError(FileOp::Rename, to, errno);
        }
        ::unlink(from.c_str());
    }
    TemporaryFileGuard::ForgetIf(from.c_str());
}

namespace {

bool SameInode(const std::optional<PathFacts>& facts, const PathFacts& agreed) {
    return facts && facts->device == agreed.device && facts->inode == agreed.inode;
}

}  // namespace

// What stands at the name must still be the file the user agreed to replace, unchanged; then
// the two names trade places in one step, and what comes out is checked once more (a rename
// changes its change time, so by its inode) and put back if it is anything else.
void NumberedFiles::MoveOverAgreed(const std::string& from, const std::string& to,
                                   const PathFacts& agreed) {
    // Only a file, or a link itself, is ever replaced; a folder never.
    if (agreed.kind != PathFacts::Kind::File && agreed.kind != PathFacts::Kind::Link)
        throw FileError(FileOp::Rename, to, FileCause::NotRegular, "not a file");
    int error = 0;
    auto standing = Look(to, error);
    // What was agreed is gone: the name is free, and nothing is replaced.
    if (!standing) return MoveToFreeName(from, to);
    if (!standing->SameAs(agreed))
        throw FileError(FileOp::Rename, to, FileCause::Changed, "another file took the name");
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) != 0) {
        int err = errno;
        if (err == ENOENT) return MoveToFreeName(from, to);
        if (err != EINVAL && err != ENOSYS) throw FileError(FileOp::Rename, to, err);
        // A file system that cannot exchange: the check above is as narrow as it allows.
        if (::rename(from.c_str(), to.c_str()) != 0) throw FileError(FileOp::Rename, to, errno);
        TemporaryFileGuard::ForgetIf(from.c_str());
        return;
    }
    if (!SameInode(Look(from, error), agreed)) {
        ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE);
        throw FileError(FileOp::Rename, to, FileCause::Changed, "another file took the name");
    }
    TemporaryFileGuard::ForgetIf(from.c_str());
    ::unlink(from.c_str());
}

void NumberedFiles::CommitTemporary(int number, const std::string& finalPath,
                                    const std::optional<PathFacts>& agreed) {
    Slot& slot = Require(number, FileOp::Rename);
    CheckFault(FileOp::Rename, number, finalPath);
    if (slot.unnamed && !agreed) {
        // The name appears with the whole file behind it, and only while it is still free.
        std::string proc = "/proc/self/fd/" + std::to_string(slot.fd);
        if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, finalPath.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                throw FileError(FileOp::Rename, finalPath, FileCause::Changed,
                                "the name was taken meanwhile", number);
            throw FileError(FileOp::Rename, finalPath, errno, number);
        }
    } else if (slot.unnamed) {
        std::string beside = LinkBeside(slot, finalPath);
        try {
            MoveOverAgreed(beside, finalPath, *agreed);
        } catch (const FileError&) {
            ::unlink(beside.c_str());
            TemporaryFileGuard::ForgetIf(beside.c_str());
            throw;
        }
    } else if (agreed) {
        MoveOverAgreed(slot.path, finalPath, *agreed);
    } else {
        MoveToFreeName(slot.path, finalPath);
    }
    slot.unnamed = false;
    slot.path = finalPath;
}

// Under the file's lock a name that stands in the way is a killed rewrite's: it goes.
int NumberedFiles::CreateNamedReplacement(int number, const std::string& name) {
    for (int attempt = 0;; ++attempt) {
        int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) return fd;
        if (errno != EEXIST || attempt > 0) throw FileError(FileOp::Create, name, errno, number);
        ::unlink(name.c_str());
    }
}

void NumberedFiles::CreateReplacement(int number, int original, const std::string& file) {
    const std::string name = ReplacementName(file);
    const PathFacts facts = FactsOf(original);
    if (number < 1 || number > kMaxNumber || slots_[number].fd >= 0)
        throw FileError(FileOp::Create, name, FileCause::Other, "file number unavailable", number);
    CheckFault(FileOp::Create, number, FolderOf(file));
    int fd = CreateUnnamed(FolderOf(file));
    const bool unnamed = fd >= 0;
    if (!unnamed) fd = CreateNamedReplacement(number, name);
    slots_[number] = Slot{fd, name, false, unnamed, 0, file};
    if (!unnamed) TemporaryFileGuard::Remember(name.c_str());
    try {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) throw FileError(FileOp::Lock, name, errno, number);
        GiveOwner(number, slots_[number], facts);
    } catch (const FileError&) {
        CloseQuietly(number);
        throw;
    }
}

// Asked before anything is written: a file whose owner cannot be kept is refused at once.
void NumberedFiles::GiveOwner(int number, Slot& slot, const PathFacts& original) {
    CheckFault(FileOp::Mode, number, slot.path);
    if (::fchown(slot.fd, original.owner, original.group) == 0) return;
    if (errno == EPERM)
        throw FileError(FileOp::Mode, slot.replaces, FileCause::OwnerNotKept,
                        "cannot give the new file its owner and group", number);
    throw FileError(FileOp::Mode, slot.path, errno, number);
}

// The access list before the bits: the bits of a file with one are its mask, and a group the
// list shuts out must never hold them meanwhile.
void NumberedFiles::GiveAttributes(int number, Slot& slot, int original, const PathFacts& opened) {
    ExtendedAttributes::Copy(Require(original, FileOp::Attribute).fd, slot.fd, slot.replaces, number,
                             [this, number] { return faultHook_ && faultHook_(FileOp::Attribute, number); });
    CheckFault(FileOp::Mode, number, slot.path);
    if (::fchmod(slot.fd, opened.mode & 0777) != 0) throw FileError(FileOp::Mode, slot.path, errno, number);
}

void NumberedFiles::NameReplacement(int number, Slot& slot) {
    std::string proc = "/proc/self/fd/" + std::to_string(slot.fd);
    for (int attempt = 0;; ++attempt) {
        if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, slot.path.c_str(), AT_SYMLINK_FOLLOW) == 0) break;
        if (errno != EEXIST || attempt > 0) throw FileError(FileOp::Rename, slot.path, errno, number);
        ::unlink(slot.path.c_str());
    }
    TemporaryFileGuard::Remember(slot.path.c_str());
    slot.unnamed = false;
}

void NumberedFiles::CheckStillLeadsTo(const std::string& name, const PathFacts& opened, int number) {
    struct stat st{};
    if (::stat(name.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw FileError(FileOp::Rename, name, FileCause::NotFound, "the file is gone", number);
        throw FileError(FileOp::Rename, name, errno, number);
    }
    if (!SameInode(st, opened))
        throw FileError(FileOp::Rename, name, FileCause::Replaced, "another file took the name", number);
}

// The two names trade places in one step; what comes out under the replacement's name must be
// the old file, or the step is undone: the check before it cannot see a file put there since.
void NumberedFiles::ExchangeWithReplacement(int number, Slot& slot, const PathFacts& opened) {
    const std::string& file = slot.replaces;
    if (::renameat2(AT_FDCWD, slot.path.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) {
        struct stat st{};
        if (::lstat(slot.path.c_str(), &st) == 0 && SameInode(st, opened)) return;
        ::renameat2(AT_FDCWD, slot.path.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE);
        throw FileError(FileOp::Rename, file, FileCause::Replaced, "another file took the name", number);
    }
    int err = errno;
    if (err != EINVAL && err != ENOSYS) throw FileError(FileOp::Rename, file, err, number);
    // A file system that cannot exchange: the checks before are as narrow as it allows.
    if (::rename(slot.path.c_str(), file.c_str()) != 0) throw FileError(FileOp::Rename, file, errno, number);
    TemporaryFileGuard::ForgetIf(slot.path.c_str());
    slot.path = file;
}

void NumberedFiles::CommitReplacement(int number, int original, const std::string& name) {
    Slot& slot = Require(number, FileOp::Rename);
    if (slot.replaces.empty())
        throw FileError(FileOp::Rename, slot.path, FileCause::Other, "not a replacement", number);
    CheckFault(FileOp::Rename, number, name);
    const PathFacts opened = FactsOf(original);
    CheckStillLeadsTo(name, opened, number);
    // The name may lead elsewhere now (a link changed), or the file may have moved.
    if (Resolve(name) != slot.replaces)
        throw FileError(FileOp::Rename, name, FileCause::Replaced, "the name leads to another place", number);
    if (slot.unnamed) NameReplacement(number, slot);
    // Tests may end the process here, with the replacement named beside the file.
    CheckFault(FileOp::Rename, number, name);
    GiveAttributes(number, slot, original, opened);
    ExchangeWithReplacement(number, slot, opened);
    if (slot.path != slot.replaces) {
        // Tests may end the process here too, with the old file under the hidden name; the
        // hook cannot fail what is done already.
        if (faultHook_) faultHook_(FileOp::Rename, number);
        ::unlink(slot.path.c_str());
        TemporaryFileGuard::ForgetIf(slot.path.c_str());
    }
    slot.path = slot.replaces;
    slot.replaces.clear();
}

// A replacement never committed is removed with its name, but only while the name is still its
// own: a later command on the file may have taken it for a stale one and made its own.
void NumberedFiles::RemoveUncommitted(Slot& slot) noexcept {
    if (slot.replaces.empty() || slot.unnamed) return;
    struct stat named{}, open{};
    if (::lstat(slot.path.c_str(), &named) == 0 && ::fstat(slot.fd, &open) == 0 &&
        named.st_dev == open.st_dev && named.st_ino == open.st_ino)
        ::unlink(slot.path.c_str());
    TemporaryFileGuard::ForgetIf(slot.path.c_str());
}

void NumberedFiles::RemoveStaleReplacement(const std::string& path) {
    std::string file = Resolve(path);
    if (file.empty()) return;
    std::string name = ReplacementName(file);
    struct stat st{};
    if (::lstat(name.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
        ::unlink(name.c_str());
}

void NumberedFiles::Lock(int number, LockKind kind) {
    Slot& slot = Require(number, FileOp::Lock);
    CheckFault(FileOp::Lock, number, slot.path);
    int operation = (kind == LockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    while (::flock(slot.fd, operation) != 0) {
        if (errno == EINTR) continue;
        throw FileError(FileOp::Lock, slot.path, errno, number);
    }
    RemoveStaleReplacement(slot.path);
}

bool NumberedFiles::IsOpen(int number) const {
    return number >= 1 && number <= kMaxNumber && slots_[number].fd >= 0;
}

const std::string& NumberedFiles::PathOf(int number) const {
    static const std::string kNone;
    return IsOpen(number) ? slots_[number].path : kNone;
}

void NumberedFiles::ReadAt(int number, std::int64_t offset, std::span<std::uint8_t> block) {
    Slot& slot = Require(number, FileOp::Read);
    CheckOffset(slot, FileOp::Read, number, offset);
    CheckFault(FileOp::Read, number, slot.path);
    std::size_t done = 0;
    while (done < block.size()) {
        ssize_t got = ::pread(slot.fd, block.data() + done, block.size() - done,
                              static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileOp::Read, slot.path, errno, number);
        }
        // Every caller checked the length first, so a short read means the file shrank.
        if (got == 0)
            throw FileError(FileOp::Read, slot.path, FileCause::Changed,
                            "read past the end of the file", number);
        done += static_cast<std::size_t>(got);
    }
}

void NumberedFiles::WriteAt(int number, std::int64_t offset,
                            std::span<const std::uint8_t> block) {
    Slot& slot = Require(number, FileOp::Write);
    CheckOffset(slot, FileOp::Write, number, offset);
    CheckFault(FileOp::Write, number, slot.path);
    // A picture the user may only read was opened for reading: say so, not "bad descriptor".
    if (slot.readOnly) throw FileError(FileOp::Write, slot.path, EACCES, number);
    std::size_t done = 0;
    while (done < block.size()) {
        ssize_t put = ::pwrite(slot.fd, block.data() + done, block.size() - done,
                               static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (put < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileOp::Write, slot.path, errno, number);
        }
        if (put == 0) throw FileError(FileOp::Write, slot.path, ENOSPC, number);
        done += static_cast<std::size_t>(put);
    }
    StartWritingBack(slot, block.size());
}

// A pass writes many megabytes and then flushes them. Asking the disk to start on them every
// few megabytes lets it write while the pass goes on computing, so the flush at the end finds
// little left to wait for. Only a hint: the flush still decides what is durable.
void NumberedFiles::StartWritingBack(Slot& slot, std::size_t written) noexcept {
    constexpr std::int64_t kStartEvery = 4 << 20;
    slot.unstarted += static_cast<std::int64_t>(written);
    if (slot.unstarted < kStartEvery) return;
    slot.unstarted = 0;
#ifdef __linux__
    // Linux only; elsewhere the flush at the end does all the writing back.
    ::sync_file_range(slot.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

PathFacts NumberedFiles::FactsOf(int number) {
    Slot& slot = Require(number, FileOp::Length);
    struct stat st{};
    if (::fstat(slot.fd, &st) != 0) throw FileError(FileOp::Length, slot.path, errno, number);
    return PathFactsOf(st);
}

std::int64_t NumberedFiles::Length(int number) {
    Slot& slot = Require(number, FileOp::Length);
    CheckFault(FileOp::Length, number, slot.path);
    struct stat st{};
    if (::fstat(slot.fd, &st) != 0) throw FileError(FileOp::Length, slot.path, errno, number);
    return static_cast<std::int64_t>(st.st_size);
}

void NumberedFiles::Flush(int number) {
    Slot& slot = Require(number, FileOp::Flush);
    CheckFault(FileOp::Flush, number, slot.path);
    if (::fdatasync(slot.fd) != 0 && errno != EINVAL && errno != EROFS)
        throw FileError(FileOp::Flush, slot.path, errno, number);
}

void NumberedFiles::SetPermissions(int number, mode_t mode) {
    Slot& slot = Require(number, FileOp::Mode);
    CheckFault(FileOp::Mode, number, slot.path);
    if (::fchmod(slot.fd, mode) != 0) throw FileError(FileOp::Mode, slot.path, errno, number);
}

void NumberedFiles::ArmRetraction(int number, std::int64_t offset,
                                  std::span<const std::uint8_t> bytes) {
    Slot& slot = Require(number, FileOp::Write);
    if (!RetractionGuard::Arm(slot.fd, offset, bytes))
        throw FileError(FileOp::Write, slot.path, FileCause::Other, "too much to take back", number);
}

void NumberedFiles::DisarmRetractions() noexcept { RetractionGuard::Disarm(); }

void NumberedFiles::Close(int number) {
    if (!IsOpen(number)) return;
    // A descriptor about to close, or to be reused, must never be written by a signal handler.
    RetractionGuard::DisarmFd(slots_[number].fd);
    RemoveUncommitted(slots_[number]);
    Slot slot = slots_[number];
    slots_[number] = Slot{};
    bool injected = faultHook_ && faultHook_(FileOp::Close, number);
    int rc = ::close(slot.fd);
    if (injected) throw FileError(FileOp::Close, slot.path, FileCause::Other, "injected fault", number);
    if (rc != 0 && errno != EINTR) throw FileError(FileOp::Close, slot.path, errno, number);
}

void NumberedFiles::CloseQuietly(int number) noexcept {
    if (!IsOpen(number)) return;
    RetractionGuard::DisarmFd(slots_[number].fd);
    RemoveUncommitted(slots_[number]);
    ::close(slots_[number].fd);
    slots_[number] = Slot{};
}

void NumberedFiles::CloseAllQuietly() noexcept {
    for (int n = 1; n <= kMaxNumber; ++n) CloseQuietly(n);
}

void NumberedFiles::Rename(const std::string& from, const std::string& to) {
    CheckFault(FileOp::Rename, 0, to);
    if (::rename(from.c_str(), to.c_str()) != 0) throw FileError(FileOp::Rename, to, errno);
    TemporaryFileGuard::ForgetIf(from.c_str());
}

void NumberedFiles::RemoveQuietly(const std::string& path) noexcept {
    ::unlink(path.c_str());
    TemporaryFileGuard::ForgetIf(path.c_str());
}

void NumberedFiles::SyncFolder(const std::string& folder) {
    CheckFault(FileOp::Flush, 0, folder);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw FileError(FileOp::Flush, folder, errno);
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    if (rc != 0 && err != EINVAL && err != EROFS) throw FileError(FileOp::Flush, folder, err);
}

bool NumberedFiles::Writable(const std::string& path) {
    if (faultHook_ && faultHook_(FileOp::Access, 0)) return false;
    return ::access(path.c_str(), W_OK) == 0;
}

std::optional<PathFacts> NumberedFiles::Look(const std::string& path, int& error) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0) {
        error = errno;
        return std::nullopt;
    }
    return PathFactsOf(st);
}

std::optional<PathFacts> NumberedFiles::LookThrough(const std::string& path, int& error) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        error = errno;
        return std::nullopt;
    }
    return PathFactsOf(st);
}

std::string NumberedFiles::Resolve(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

}  // namespace velquist
