// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"
#include "engine/Outcome.h"
#include "workflows/OutcomeBoxes.h"

namespace velquist::cli {

struct CliSession;

// Tells the user how a command ended, in the command line's words for the window's texts, plus
// the line naming the file and the cause, and hands back the exit status a script sees.
ExitCode Report(CliSession& session, CarrierCommand command, const Outcome& outcome);

}  // namespace velquist::cli
