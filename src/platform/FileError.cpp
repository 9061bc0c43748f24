#include "platform/FileError.h"

namespace velquist {

const char* FileOpName(FileOp op) {
    switch (op) {
        case FileOp::Open: return "open";
        case FileOp::Read: return "read";
        case FileOp::Write: return "write";
        case FileOp::Flush: return "flush";
        case FileOp::Close: return "close";
        case FileOp::Truncate: return "truncate";
        case FileOp::Length: return "length";
        case FileOp::Rename: return "rename";
        case FileOp::Remove: return "remove";
    }
    return "file operation";
}

FileError::FileError(FileOp op, const std::string& path, const std::string& reason)
    : std::runtime_error(std::string(FileOpName(op)) + " " + path + ": " + reason),
      op_(op),
      path_(path) {}

}  // namespace velquist
