// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PendingOutput.h"

#include <sys/stat.h>

#include "platform/FileService.h"
#include "platform/FolderPath.h"

namespace velquist {

namespace {

mode_t NewFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

PathFacts SettleCommitted(FileService& files, int number, const std::string& folder) {
    PathFacts committed;
    try {
        committed = files.FactsOf(number);
    } catch (const FileError&) {
        // Named and complete: only what it is stays unknown.
    }
    // Flushed before it got its name: a failing close now loses nothing.
    files.CloseQuietly(number);
    try {
        files.SyncFolder(folder);
    } catch (const FileError&) {
        // The complete file already stands under its name; only a crash right now could
        // still undo the rename, and reporting a failure would be the greater falsehood.
    }
    return committed;
}

PendingOutput::PendingOutput(FileService& files, int number, std::string finalPath)
    : files_(files), number_(number), finalPath_(std::move(finalPath)) {
    temporaryPath_ = files_.CreateTemporary(number_, FolderOf(finalPath_));
}

PendingOutput::~PendingOutput() { Discard(); }

PathFacts PendingOutput::Commit(const std::optional<PathFacts>& agreed) {
    try {
        files_.Flush(number_);
        files_.SetPermissions(number_, NewFileMode());
        files_.CommitTemporary(number_, finalPath_, agreed);
        temporaryPath_.clear();
    } catch (const FileError&) {
        Discard();
        throw;
    }
    return SettleCommitted(files_, number_, FolderOf(finalPath_));
}

void PendingOutput::Discard() noexcept {
    files_.CloseQuietly(number_);
    if (temporaryPath_.empty()) return;
    files_.RemoveQuietly(temporaryPath_);
    temporaryPath_.clear();
}

}  // namespace velquist
