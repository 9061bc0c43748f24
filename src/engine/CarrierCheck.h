// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/CarrierHeader.h"
#include "engine/Outcome.h"

namespace velquist {

class NumberedFiles;

// The one rule for which pictures any command may use: Completed for a usable carrier, else
// why not (damaged, not 24-bit, ...), in that order.
OutcomeKind CarrierVerdict(const CarrierHeader& header);

// Looks at the picture at `path` as both front ends do before they act on it: opens it
// read-only as `number`, takes a shared lock (so a carrier being written elsewhere is refused
// as Busy), reads the header into `header` and closes it again. Never writes or creates.
Outcome InspectCarrier(NumberedFiles& files, int number, const std::string& path,
                       CarrierHeader& header);

}  // namespace velquist
