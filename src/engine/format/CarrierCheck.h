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

// A failed file operation on the picture: Busy when another program holds its lock.
Outcome CarrierFileFailure(const FileError& error, const std::string& path);

// Opens the picture at `path` read-only as `number`, takes its lock without waiting and reads
// its header into `header`. Completed leaves the file open and locked; a failure (Busy among
// them) leaves it closed. Never writes or creates.
Outcome OpenLockedCarrier(FileService& files, int number, const std::string& path,
                          FileService::LockKind kind, CarrierHeader& header);

// Looks at the picture at `path` as both front ends do before they act on it: opens it under
// a shared lock (so a carrier being written elsewhere is refused as Busy), reads the header
// into `header` and closes it again.
Outcome InspectCarrier(FileService& files, int number, const std::string& path,
                       CarrierHeader& header);

}  // namespace velquist
