// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/OutputTarget.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/NumberedFiles.h"

namespace velquist {

namespace {

std::string Resolved(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

bool SameFile(const std::string& carrierPath, const std::string& outFile) {
    struct stat carrier{}, out{};
    if (::stat(carrierPath.c_str(), &carrier) == 0 && ::stat(outFile.c_str(), &out) == 0 &&
        carrier.st_dev == out.st_dev && carrier.st_ino == out.st_ino)
        return true;
    std::string resolved = Resolved(outFile);
    return !resolved.empty() && resolved == Resolved(carrierPath);
}

Outcome Failure(const std::string& outFile, FileCause cause, int error = 0) {
    return Outcome{OutcomeKind::OutputFailure, outFile, cause, error};
}

}  // namespace

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

OutputTarget CheckOutputTarget(NumberedFiles& files, const std::string& carrierPath,
                               const std::string& outFile) {
    OutputTarget target;
    if (SameFile(carrierPath, outFile)) {
        target.verdict = Outcome::Of(OutcomeKind::OutputIsCarrier, outFile);
        return target;
    }
    std::string folder = FolderOf(outFile);
    struct stat st{};
    if (::stat(folder.c_str(), &st) != 0) {
        target.verdict = Failure(folder, CauseOfErrno(errno), errno);
        return target;
    }
    if (!S_ISDIR(st.st_mode)) {
        target.verdict = Failure(folder, FileCause::NotRegular);
        return target;
    }
    if (::lstat(outFile.c_str(), &st) == 0) {
        target.replaces = true;
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
            target.verdict = Failure(outFile, FileCause::NotRegular);
            return target;
        }
        // The user's own protection of a file is respected, even where root could override it.
        if (S_ISREG(st.st_mode) && !files.Writable(outFile)) {
            target.verdict = Failure(outFile, FileCause::PermissionDenied, EACCES);
            return target;
        }
    }
    if (!files.Writable(folder)) target.verdict = Failure(folder, FileCause::PermissionDenied, EACCES);
    return target;
}

}  // namespace velquist
