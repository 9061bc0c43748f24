// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"
#include "engine/format/OutcomeWords.h"

namespace velquist::cli {

struct CliSession;

// Tells how `command` ended, as the window's box would but in the terminal's language: the
// refusal or failure, and for a failed file operation a second line naming the file and the
// cause. Returns the exit status that stands for it.
ExitCode Report(CliSession& session, CarrierCommand command, const Outcome& outcome);

}  // namespace velquist::cli
