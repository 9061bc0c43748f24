// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/FileService.h"

namespace velquist {

// The extraction output, written to a private temporary file beside its final name (with no
// name at all where the file system allows it) and given the final name only when the
// extraction completed. A failed or refused extraction, a crash or a power cut leaves no new
// file behind and whatever had the final name untouched. The finished file gets the
// permissions of any new file (0666 less the umask), never those of what it replaces.
class PendingOutput {
public:
    // Creates the temporary file as `number`. Throws FileError when that fails.
    PendingOutput(FileService& files, int number, std::string finalPath);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    // Flushes the file and gives it the final name, replacing only what `agreed` says stood
    // there when the user was asked (nothing, or that very file), then makes the name durable.
    // Returns what the file now is. Throws FileError; the temporary file is gone either way.
    PathFacts Commit(const std::optional<PathFacts>& agreed);
    // Closes and removes the temporary file; nothing else changes.
    void Discard() noexcept;

private:
    FileService& files_;
    int number_;
    std::string finalPath_;
    std::string temporaryPath_;
};

// What follows a file's commit, where nothing can fail it any more: what the file open as
// `number` now is (left empty where that cannot be learnt), the number closed, and `folder`
// synced so that the new name survives a crash.
PathFacts SettleCommitted(FileService& files, int number, const std::string& folder);

}  // namespace velquist
