#include "engine/PendingOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/FileError.h"
#include "platform/NumberedFiles.h"

namespace velquist {

namespace {

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The permissions a newly created file would get, or those of the file being replaced.
mode_t ModeFor(const std::string& finalPath) {
    struct stat st{};
    if (::stat(finalPath.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

PendingOutput::PendingOutput(NumberedFiles& files, int number, std::string finalPath)
    : files_(files), number_(number), finalPath_(std::move(finalPath)) {
    struct stat st{};
    if (::stat(finalPath_.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw FileError(FileOp::Open, finalPath_, "not a file");
    std::string pattern = FolderOf(finalPath_) + "/.velquist-XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) throw FileError(FileOp::Open, finalPath_, std::strerror(errno));
    ::fchmod(fd, ModeFor(finalPath_));
    temporaryPath_ = pattern;
    try {
        files_.Adopt(number_, fd, temporaryPath_);
    } catch (const FileError&) {
        Discard();
        throw;
    }
    open_ = true;
}

PendingOutput::~PendingOutput() { Discard(); }

void PendingOutput::Commit() {
    try {
        files_.Flush(number_);
        files_.Close(number_);
        open_ = false;
        if (std::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0)
            throw FileError(FileOp::Rename, finalPath_, std::strerror(errno));
        temporaryPath_.clear();
    } catch (const FileError&) {
        Discard();
        throw;
    }
}

void PendingOutput::Discard() noexcept {
    if (open_) {
        try {
            files_.Close(number_);
        } catch (const FileError&) {
            // The file is being thrown away; a failed close changes nothing for the user.
        }
        open_ = false;
    }
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

}  // namespace velquist
