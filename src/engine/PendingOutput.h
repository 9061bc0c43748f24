// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist {

class FileService;

// The extraction output, written to a private temporary file beside its final name and moved
// over that name only when the extraction completed. A failed or refused extraction leaves no
// new file behind and whatever had the final name untouched. The finished file gets the
// permissions of any new file (0666 less the umask), never those of what it replaces.
class PendingOutput {
public:
    // Creates the temporary file as `number`. Throws FileError when that fails.
    PendingOutput(FileService& files, int number, std::string finalPath);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    // Flushes, closes and renames over the final name, then makes the rename durable.
    // Throws FileError; the temporary file is gone either way.
    void Commit();
    // Closes and removes the temporary file; nothing else changes.
    void Discard() noexcept;

private:
    FileService& files_;
    int number_;
    std::string finalPath_;
    std::string temporaryPath_;
};

}  // namespace velquist
