// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "engine/format/Outcome.h"
#include "platform/FileService.h"

namespace velquist {

// What stands at an extraction's output name, checked before anything is written.
struct OutputTarget {
    Outcome verdict;                   // Completed when the extraction may write there
    bool replaces = false;             // something (a file or a link) already has that name
    std::optional<PathFacts> standing;  // what that is: the only thing a commit may replace
};

// Refuses an output name that is the carrier itself (same file, or the same path once links
// are resolved), something other than a file or a link, a file the user cannot write, or a
// folder the user cannot write to. A link at the name would be replaced itself, never
// followed.
OutputTarget CheckOutputTarget(FileService& files, const std::string& carrierPath,
                               const std::string& outFile);

}  // namespace velquist
