// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CarrierCheck.h"

#include "engine/PictureKinds.h"

namespace velquist {

Outcome CarrierFileFailure(const FileError& error, const std::string& path) {
    if (error.cause() == FileCause::Busy) return Outcome::Of(OutcomeKind::Busy, path);
    // A picture written anew finds, when it is to take the old one's place, that the name
    // leads nowhere or elsewhere.
    if (error.cause() == FileCause::NotFound) return Outcome::Failure(OutcomeKind::CarrierGone, error, path);
    if (error.cause() == FileCause::Replaced) return Outcome::Of(OutcomeKind::CarrierReplaced, path);
    return Outcome::Failure(OutcomeKind::CarrierFailure, error, path);
}

namespace {

bool Replaced(FileService& files, int number, const PathFacts& expected) {
    if (expected.inode == 0) return false;
    PathFacts opened = files.FactsOf(number);
    return opened.device != expected.device || opened.inode != expected.inode;
}

}  // namespace

Outcome OpenLockedCarrier(FileService& files, int number, const std::string& path,
                          CarrierAccess access, FileService::LockKind kind,
                          std::unique_ptr<CarrierPicture>& picture, const PathFacts& expected) {
    try {
        switch (access) {
            case CarrierAccess::ReadOnly: files.OpenReadOnly(number, path); break;
            case CarrierAccess::Writable: files.OpenExisting(number, path); break;
            case CarrierAccess::WritableIfAllowed: files.OpenWritableIfAllowed(number, path); break;
        }
        if (Replaced(files, number, expected)) {
            files.CloseQuietly(number);
            return Outcome::Of(OutcomeKind::CarrierReplaced, path);
        }
        files.Lock(number, kind);
        picture = ReadCarrierPicture(files, number, path);
    } catch (const FileError& e) {
        files.CloseQuietly(number);
        // Nothing at the name any more: the picture was moved, renamed or deleted.
        if (e.cause() == FileCause::NotFound)
            return Outcome::Failure(OutcomeKind::CarrierGone, e, path);
        return CarrierFileFailure(e, path);
    }
    return Outcome::Of(OutcomeKind::Completed, path);
}

Outcome InspectCarrier(FileService& files, int number, const std::string& path,
                       std::unique_ptr<CarrierPicture>& picture, PathFacts* file) {
    Outcome opened = OpenLockedCarrier(files, number, path, CarrierAccess::ReadOnly,
                                       FileService::LockKind::Shared, picture);
    if (!opened.completed()) return opened;
    try {
        if (file) *file = files.FactsOf(number);
        files.Close(number);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, path);
    }
    return picture->VerdictOn(path);
}

}  // namespace velquist
