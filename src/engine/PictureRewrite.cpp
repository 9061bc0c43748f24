// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PictureRewrite.h"

#include "platform/FolderPath.h"

namespace velquist {

PictureRewrite::PictureRewrite(FileService& files, int number, int picture, const std::string& name,
                               bool allowOtherLinks)
    : files_(files), number_(number), picture_(picture), name_(name), allowOtherLinks_(allowOtherLinks) {
    CheckLinks();
    // The file itself, in its own folder, when the picture was named through a link.
    file_ = files_.Resolve(name_);
    if (file_.empty()) file_ = name_;
    files_.CreateReplacement(number_, picture_, file_);
}

PictureRewrite::~PictureRewrite() { files_.CloseQuietly(number_); }

// The other names would go on holding the old picture, message and all.
void PictureRewrite::CheckLinks() const {
    if (files_.FactsOf(picture_).links > 1 && !allowOtherLinks_)
        throw FileError(FileOp::Rename, name_, FileCause::OtherLinks, "the file has other names", picture_);
}

PathFacts PictureRewrite::Commit() {
    try {
        files_.Flush(number_);
        CheckLinks();
        files_.CommitReplacement(number_, picture_, name_);
    } catch (const FileError&) {
        files_.CloseQuietly(number_);
        throw;
    }
    PathFacts committed;
    try {
        committed = files_.FactsOf(number_);
    } catch (const FileError&) {
        // In its place and complete: only what it is stays unknown.
    }
    // Flushed before it took the old one's place: a failing close now loses nothing.
    files_.CloseQuietly(number_);
    try {
        files_.SyncFolder(FolderOf(file_));
    } catch (const FileError&) {
        // The new picture already stands under its name; only a crash right now could still
        // undo the rename, and reporting a failure would be the greater falsehood.
    }
    return committed;
}

}  // namespace velquist
