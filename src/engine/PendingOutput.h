#pragma once

#include <string>

namespace velquist {

class NumberedFiles;

// The extraction output, written to a temporary file beside its final name and moved over
// that name only when the extraction completed. A failed or refused extraction leaves no new
// file behind and an existing file of that name untouched.
class PendingOutput {
public:
    // Opens the temporary file as `number`. Throws FileError when the folder is missing or
    // the final name is taken by something other than a file.
    PendingOutput(NumberedFiles& files, int number, std::string finalPath);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    // Flushes, closes and renames over the final name. Throws FileError; then discards.
    void Commit();
    // Closes and removes the temporary file; nothing else changes.
    void Discard() noexcept;
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    NumberedFiles& files_;
    int number_;
    std::string finalPath_;
    std::string temporaryPath_;
    bool open_ = false;
};

}  // namespace velquist
