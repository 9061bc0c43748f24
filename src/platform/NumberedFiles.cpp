#include "platform/NumberedFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velquist {

namespace {

std::string Reason(int err) { return std::strerror(err); }

}  // namespace

NumberedFiles::~NumberedFiles() { CloseAllQuietly(); }

NumberedFiles::Slot& NumberedFiles::Require(int number) {
    return const_cast<Slot&>(static_cast<const NumberedFiles*>(this)->Require(number));
}

const NumberedFiles::Slot& NumberedFiles::Require(int number) const {
    if (number < 1 || number > kMaxNumber)
        throw FileError(FileOp::Read, "#" + std::to_string(number), "bad file number");
    const Slot& slot = slots_[number];
    if (slot.fd < 0)
        throw FileError(FileOp::Read, "#" + std::to_string(number), "file number not open");
    return slot;
}

void NumberedFiles::CheckFault(FileOp op, int number, const std::string& path) {
    if (faultHook_ && faultHook_(op, number)) throw FileError(op, path, "injected fault");
}

void NumberedFiles::OpenWith(int number, const std::string& path, int flags) {
    if (number < 1 || number > kMaxNumber)
        throw FileError(FileOp::Open, path, "bad file number");
    if (slots_[number].fd >= 0) throw FileError(FileOp::Open, path, "file number already open");
    CheckFault(FileOp::Open, number, path);
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) throw FileError(FileOp::Open, path, Reason(errno));
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = errno;
        ::close(fd);
        throw FileError(FileOp::Open, path, S_ISDIR(st.st_mode) ? "is a folder"
                                            : err ? Reason(err) : "not a regular file");
    }
    slots_[number] = Slot{fd, path, 0};
}

void NumberedFiles::Open(int number, const std::string& path) {
    OpenWith(number, path, O_RDWR | O_CREAT);
}

void NumberedFiles::OpenExisting(int number, const std::string& path) {
    OpenWith(number, path, O_RDWR);
}

void NumberedFiles::OpenReadOnly(int number, const std::string& path) {
    OpenWith(number, path, O_RDONLY);
}

void NumberedFiles::Adopt(int number, int fd, const std::string& path) {
    if (number < 1 || number > kMaxNumber || slots_[number].fd >= 0) {
        ::close(fd);
        throw FileError(FileOp::Open, path, "file number unavailable");
    }
    slots_[number] = Slot{fd, path, 0};
}

bool NumberedFiles::IsOpen(int number) const {
    return number >= 1 && number <= kMaxNumber && slots_[number].fd >= 0;
}

const std::string& NumberedFiles::PathOf(int number) const { return Require(number).path; }

std::int64_t NumberedFiles::Resolve(const Slot& slot, std::int64_t position) const {
    return position == kHere ? slot.last : position - 1;
}

std::size_t NumberedFiles::GetUpTo(int number, std::int64_t position,
                                   std::span<std::uint8_t> block) {
    Slot& slot = Require(number);
    if (position < 0) throw FileError(FileOp::Read, slot.path, "bad position");
    CheckFault(FileOp::Read, number, slot.path);
    std::int64_t offset = Resolve(slot, position);
    std::size_t done = 0;
    while (done < block.size()) {
        ssize_t got = ::pread(slot.fd, block.data() + done, block.size() - done,
                              static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileOp::Read, slot.path, Reason(errno));
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    slot.last = offset + static_cast<std::int64_t>(done);
    return done;
}

void NumberedFiles::GetBlock(int number, std::int64_t position, std::span<std::uint8_t> block) {
    if (GetUpTo(number, position, block) != block.size())
        throw FileError(FileOp::Read, PathOf(number), "read past the end of the file");
}

std::uint8_t NumberedFiles::GetU8(int number, std::int64_t position) {
    std::uint8_t b[1];
    GetBlock(number, position, b);
    return b[0];
}

std::uint16_t NumberedFiles::GetU16(int number, std::int64_t position) {
    std::uint8_t b[2];
    GetBlock(number, position, b);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t NumberedFiles::GetU32(int number, std::int64_t position) {
    std::uint8_t b[4];
    GetBlock(number, position, b);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

void NumberedFiles::PutBlock(int number, std::int64_t position,
                             std::span<const std::uint8_t> block) {
    Slot& slot = Require(number);
    if (position < 0) throw FileError(FileOp::Write, slot.path, "bad position");
    CheckFault(FileOp::Write, number, slot.path);
    std::int64_t offset = Resolve(slot, position);
    std::size_t done = 0;
    while (done < block.size()) {
        ssize_t put = ::pwrite(slot.fd, block.data() + done, block.size() - done,
                               static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (put < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileOp::Write, slot.path, Reason(errno));
        }
        if (put == 0) throw FileError(FileOp::Write, slot.path, "nothing written");
        done += static_cast<std::size_t>(put);
    }
    slot.last = offset + static_cast<std::int64_t>(done);
}

void NumberedFiles::PutU8(int number, std::int64_t position, std::uint8_t value) {
    const std::uint8_t b[1] = {value};
    PutBlock(number, position, b);
}

void NumberedFiles::PutU16(int number, std::int64_t position, std::uint16_t value) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(value),
                               static_cast<std::uint8_t>(value >> 8)};
    PutBlock(number, position, b);
}

void NumberedFiles::PutU32(int number, std::int64_t position, std::uint32_t value) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(value),
                               static_cast<std::uint8_t>(value >> 8),
                               static_cast<std::uint8_t>(value >> 16),
                               static_cast<std::uint8_t>(value >> 24)};
    PutBlock(number, position, b);
}

void NumberedFiles::PutFixedText(int number, std::int64_t position, const std::string& text,
                                 std::size_t length) {
    std::string fixed = text.substr(0, length);
    fixed.resize(length, ' ');
    PutBlock(number, position,
             std::span(reinterpret_cast<const std::uint8_t*>(fixed.data()), fixed.size()));
}

std::int64_t NumberedFiles::LastPosition(int number) const { return Require(number).last; }

std::int64_t NumberedFiles::Length(int number) {
    Slot& slot = Require(number);
    CheckFault(FileOp::Length, number, slot.path);
    struct stat st{};
    if (::fstat(slot.fd, &st) != 0) throw FileError(FileOp::Length, slot.path, Reason(errno));
    return static_cast<std::int64_t>(st.st_size);
}

void NumberedFiles::Empty(int number) {
    Slot& slot = Require(number);
    CheckFault(FileOp::Truncate, number, slot.path);
    if (::ftruncate(slot.fd, 0) != 0) throw FileError(FileOp::Truncate, slot.path, Reason(errno));
    slot.last = 0;
}

void NumberedFiles::Flush(int number) {
    Slot& slot = Require(number);
    CheckFault(FileOp::Flush, number, slot.path);
    if (::fdatasync(slot.fd) != 0 && errno != EINVAL && errno != EROFS)
        throw FileError(FileOp::Flush, slot.path, Reason(errno));
}

void NumberedFiles::Close(int number) {
    if (!IsOpen(number)) return;
    Slot slot = slots_[number];
    slots_[number] = Slot{};
    bool injected = faultHook_ && faultHook_(FileOp::Close, number);
    int rc = ::close(slot.fd);
    if (injected) throw FileError(FileOp::Close, slot.path, "injected fault");
    if (rc != 0 && errno != EINTR) throw FileError(FileOp::Close, slot.path, Reason(errno));
}

void NumberedFiles::CloseAll() {
    std::string firstError;
    FileOp firstOp = FileOp::Close;
    std::string firstPath;
    for (int n = 1; n <= kMaxNumber; ++n) {
        try {
            Close(n);
        } catch (const FileError& e) {
            if (firstError.empty()) {
                firstError = e.what();
                firstOp = e.op();
                firstPath = e.path();
            }
        }
    }
    if (!firstError.empty()) throw FileError(firstOp, firstPath, "close failed");
}

void NumberedFiles::CloseAllQuietly() noexcept {
    for (int n = 1; n <= kMaxNumber; ++n) {
        if (slots_[n].fd >= 0) ::close(slots_[n].fd);
        slots_[n] = Slot{};
    }
}

}  // namespace velquist
