// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileError.h"

#include <cerrno>
#include <cstring>

namespace velquist {

namespace {

const char* FileOpName(FileOp op) {
    switch (op) {
        case FileOp::Open: return "open";
        case FileOp::Read: return "read";
        case FileOp::Write: return "write";
        case FileOp::Flush: return "flush";
        case FileOp::Close: return "close";
        case FileOp::Length: return "length";
        case FileOp::Rename: return "rename";
        case FileOp::Lock: return "lock";
        case FileOp::Create: return "create";
        case FileOp::Mode: return "mode";
        case FileOp::Access: return "access";
        case FileOp::Attribute: return "attribute";
    }
    return "file operation";
}

}  // namespace

FileCause CauseOfErrno(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT: return FileCause::NoSpace;
        case EFBIG: return FileCause::TooLarge;
        case EACCES:
        case EPERM:
        case EROFS: return FileCause::PermissionDenied;
        case ENOENT:
        case ENOTDIR: return FileCause::NotFound;
        case EISDIR:
        case ENXIO: return FileCause::NotRegular;
        case EWOULDBLOCK: return FileCause::Busy;
        default: return FileCause::Other;
    }
}

FileError::FileError(FileOp op, const std::string& path, int error, int number)
    : std::runtime_error(std::string(FileOpName(op)) + " " + path + ": " + std::strerror(error)),
      path_(path),
      cause_(CauseOfErrno(error)),
      error_(error),
      number_(number) {}

FileError::FileError(FileOp op, const std::string& path, FileCause cause,
                     const std::string& reason, int number)
    : std::runtime_error(std::string(FileOpName(op)) + " " + path + ": " + reason),
      path_(path),
      cause_(cause),
      error_(0),
      number_(number) {}

}  // namespace velquist
