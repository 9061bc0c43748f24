#pragma once

#include <stdexcept>
#include <string>

namespace velquist {

enum class FileOp { Open, Read, Write, Flush, Close, Truncate, Length, Rename, Remove };

const char* FileOpName(FileOp op);

// The one error channel of the file layer: which operation failed on which path, and why.
class FileError : public std::runtime_error {
public:
    FileError(FileOp op, const std::string& path, const std::string& reason);
    FileOp op() const { return op_; }
    const std::string& path() const { return path_; }

private:
    FileOp op_;
    std::string path_;
};

}  // namespace velquist
