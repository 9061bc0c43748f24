// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "engine/CarrierPicture.h"
#include "engine/format/Outcome.h"
#include "platform/FileService.h"

namespace velquist {

// A failed file operation on the picture: Busy when another program holds its lock, the picture
// gone or replaced when its name leads nowhere or to another file.
Outcome CarrierFileFailure(const FileError& error, const std::string& path);

// How a command opens the picture: only to read it, to write it (a hide, a wipe), or to write
// it where the user may (an extraction, which may end in a wipe).
enum class CarrierAccess { ReadOnly, Writable, WritableIfAllowed };

// Opens the picture at `path` as `number`, takes its lock without waiting and reads it as its
// kind into `picture`. Completed leaves the file open and locked; a failure (Busy, a picture
// gone or, where `expected` names a file, replaced by another, among them) leaves it closed.
// Never creates, and writes nothing itself.
Outcome OpenLockedCarrier(FileService& files, int number, const std::string& path,
                          CarrierAccess access, FileService::LockKind kind,
                          std::unique_ptr<CarrierPicture>& picture, const PathFacts& expected = {});

// Looks at the picture at `path` as both front ends do before they act on it: opens it under
// a shared lock (so a carrier being written elsewhere is refused as Busy), reads what its kind's
// header says into `picture`, notes in `file` which file it was, and closes it again. The
// outcome is the picture's verdict.
Outcome InspectCarrier(FileService& files, int number, const std::string& path,
                       std::unique_ptr<CarrierPicture>& picture, PathFacts* file = nullptr);

}  // namespace velquist
