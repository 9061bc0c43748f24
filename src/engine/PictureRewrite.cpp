// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PictureRewrite.h"

#include "engine/PendingOutput.h"
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
    return SettleCommitted(files_, number_, FolderOf(file_));
}

}  // namespace velquist
