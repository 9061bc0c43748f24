// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/format/CarrierHeader.h"
#include "engine/format/Outcome.h"
#include "platform/FileService.h"

namespace velquist {


// The one rule for which pictures any command may use: Completed for a usable carrier, else
// why not (damaged, not 24-bit, ...), in that order.
OutcomeKind CarrierVerdict(const CarrierHeader& header);

// A failed file operation on the picture: Busy when another program holds its lock, the picture
// gone or replaced when its name leads nowhere or to another file.
Outcome CarrierFileFailure(const FileError& error, const std::string& path);

// How a command opens the picture: only to read it, to write it (a hide, a wipe), or to write
// it where the user may (an extraction, which may end in a wipe).
enum class CarrierAccess { ReadOnly, Writable, WritableIfAllowed };

// Opens the picture at `path` as `number`, takes its lock without waiting and reads its header
// into `header`. Completed leaves the file open and locked; a failure (Busy, a picture gone or,
// where `expected` names a file, replaced by another, among them) leaves it closed. Never
// creates, and writes nothing itself.
Outcome OpenLockedCarrier(FileService& files, int number, const std::string& path,
                          CarrierAccess access, FileService::LockKind kind, CarrierHeader& header,
                          const PathFacts& expected = {});

// Looks at the picture at `path` as both front ends do before they act on it: opens it under
// a shared lock (so a carrier being written elsewhere is refused as Busy), reads the header
// into `header`, notes in `file` which file it was, and closes it again.
Outcome InspectCarrier(FileService& files, int number, const std::string& path,
                       CarrierHeader& header, PathFacts* file = nullptr);

}  // namespace velquist
