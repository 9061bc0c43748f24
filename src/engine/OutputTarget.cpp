// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/OutputTarget.h"

#include <cerrno>

#include "platform/FileService.h"
#include "platform/FolderPath.h"

namespace velquist {

namespace {

bool SameFile(FileService& files, const std::string& carrierPath, const std::string& outFile) {
    int error = 0;
    auto carrier = files.LookThrough(carrierPath, error);
    auto out = files.LookThrough(outFile, error);
    if (carrier && out && carrier->device == out->device && carrier->inode == out->inode)
        return true;
    std::string resolved = files.Resolve(outFile);
    return !resolved.empty() && resolved == files.Resolve(carrierPath);
}

Outcome Failure(const std::string& path, FileCause cause, int error = 0) {
    return Outcome{OutcomeKind::OutputFailure, path, cause, error};
}

}  // namespace

OutputTarget CheckOutputTarget(FileService& files, const std::string& carrierPath,
                               const std::string& outFile) {
    OutputTarget target;
    if (SameFile(files, carrierPath, outFile)) {
        target.verdict = Outcome::Of(OutcomeKind::OutputIsCarrier, outFile);
        return target;
    }
    std::string folder = FolderOf(outFile);
    int error = 0;
    auto folderFacts = files.LookThrough(folder, error);
    if (!folderFacts) {
        FileCause cause = error == ENOENT ? FileCause::FolderMissing : CauseOfErrno(error);
        target.verdict = Failure(folder, cause, error);
        return target;
    }
    if (folderFacts->kind != PathFacts::Kind::Folder) {
        target.verdict = Failure(folder, FileCause::NotRegular);
        return target;
    }
    if (auto facts = files.Look(outFile, error)) {
        target.replaces = true;
        target.standing = facts;
        if (facts->kind != PathFacts::Kind::File && facts->kind != PathFacts::Kind::Link) {
            target.verdict = Failure(outFile, FileCause::NotRegular);
            return target;
        }
        // The user's own protection of a file is respected, even where root could override it.
        if (facts->kind == PathFacts::Kind::File && !files.Writable(outFile)) {
            target.verdict = Failure(outFile, FileCause::PermissionDenied, EACCES);
            return target;
        }
    }
    if (!files.Writable(folder)) target.verdict = Failure(folder, FileCause::PermissionDenied, EACCES);
    return target;
}

}  // namespace velquist
