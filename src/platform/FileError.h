// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace velquist {

enum class FileOp {
    Open, Read, Write, Flush, Close, Length, Rename, Lock, Create, Mode, Access, Attribute
};

// Why a file operation failed, in the terms a user can act on.
enum class FileCause {
    Other,             // the system's own text says why
    NoSpace,           // the disk or the user's quota is full
    TooLarge,          // the file would grow past what the system allows a file (a size limit)
    PermissionDenied,  // no permission, or a read-only file or mount
    NotFound,          // the file or its folder does not exist
    FolderMissing,     // the folder the output goes into does not exist
    NotRegular,        // a folder, device, socket or pipe stands where a file is expected
    Changed,           // the file changed (shrank) while it was being worked on
    Busy,              // another program holds the file's lock
    Replaced,          // another file now stands at the name of the one being worked on
    OtherLinks,        // the file has other names, which a file written anew would not reach
    OwnerNotKept,      // the file belongs to another user or group, which a new file cannot keep
    AclNotKept,        // the file's access control list cannot be given to a new file
    AttributesNotKept, // one of the file's extended attributes cannot be given to a new file
};

FileCause CauseOfErrno(int error);

// The one error channel of the file layer: which operation failed on which path and file
// number (0 for operations on a path alone), why, and the system's error number if any.
class FileError : public std::runtime_error {
public:
    FileError(FileOp op, const std::string& path, int error, int number = 0);
    FileError(FileOp op, const std::string& path, FileCause cause, const std::string& reason,
              int number = 0);
    const std::string& path() const { return path_; }
    FileCause cause() const { return cause_; }
    // The system's error number; 0 when the failure is the program's own finding.
    int error() const { return error_; }
    int number() const { return number_; }

private:
    std::string path_;
    FileCause cause_;
    int error_;
    int number_;
};

}  // namespace velquist
