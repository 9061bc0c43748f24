// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NumberedFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/FolderPath.h"
#include "platform/TemporaryFileGuard.h"

namespace velquist {

namespace {

PathFacts FactsOf(const struct stat& st) {
    PathFacts facts;
    facts.kind = S_ISREG(st.st_mode)   ? PathFacts::Kind::File
                 : S_ISLNK(st.st_mode) ? PathFacts::Kind::Link
                 : S_ISDIR(st.st_mode) ? PathFacts::Kind::Folder
                                       : PathFacts::Kind::Other;
    facts.device = st.st_dev;
    facts.inode = st.st_ino;
    return facts;
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

void NumberedFiles::OpenWith(int number, const std::string& path, int flags) {
    if (number < 1 || number > kMaxNumber || slots_[number].fd >= 0)
        throw FileError(FileOp::Open, path, FileCause::Other, "file number unavailable", number);
    CheckFault(FileOp::Open, number, path);
    // Without O_NONBLOCK, opening a named pipe waits for a writer that may never come.
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) throw FileError(FileOp::Open, path, errno, number);
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        throw FileError(FileOp::Open, path, err, number);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(FileOp::Open, path, FileCause::NotRegular,
                        S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file", number);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    slots_[number] = Slot{fd, path};
}

void NumberedFiles::OpenExisting(int number, const std::string& path) {
    OpenWith(number, path, O_RDWR);
}

void NumberedFiles::OpenReadOnly(int number, const std::string& path) {
    OpenWith(number, path, O_RDONLY);
}

std::string NumberedFiles::CreateTemporary(int number, const std::string& folder) {
    std::string pattern = WithSeparator(folder) + ".velquist-XXXXXX";
    if (number < 1 || number > kMaxNumber || slots_[number].fd >= 0)
        throw FileError(FileOp::Create, pattern, FileCause::Other, "file number unavailable",
                        number);
    CheckFault(FileOp::Create, number, folder);
    // mkostemp creates the file 0600: nobody else can read the message while it is written.
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) throw FileError(FileOp::Create, folder, errno, number);
    TemporaryFileGuard::Remember(pattern.c_str());
    slots_[number] = Slot{fd, pattern};
    return pattern;
}

void NumberedFiles::Lock(int number, LockKind kind) {
    Slot& slot = Require(number, FileOp::Lock);
    CheckFault(FileOp::Lock, number, slot.path);
    int operation = (kind == LockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    while (::flock(slot.fd, operation) != 0) {
        if (errno == EINTR) continue;
        throw FileError(FileOp::Lock, slot.path, errno, number);
    }
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
    ::sync_file_range(slot.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
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

void NumberedFiles::Close(int number) {
    if (!IsOpen(number)) return;
    Slot slot = slots_[number];
    slots_[number] = Slot{};
    bool injected = faultHook_ && faultHook_(FileOp::Close, number);
    int rc = ::close(slot.fd);
    if (injected) throw FileError(FileOp::Close, slot.path, FileCause::Other, "injected fault", number);
    if (rc != 0 && errno != EINTR) throw FileError(FileOp::Close, slot.path, errno, number);
}

void NumberedFiles::CloseQuietly(int number) noexcept {
    if (!IsOpen(number)) return;
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
    return FactsOf(st);
}

std::optional<PathFacts> NumberedFiles::LookThrough(const std::string& path, int& error) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        error = errno;
        return std::nullopt;
    }
    return FactsOf(st);
}

std::string NumberedFiles::Resolve(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

}  // namespace velquist
