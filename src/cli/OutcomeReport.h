// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"
#include "engine/Outcome.h"

namespace velquist::cli {

struct CliSession;

// The subcommands, each with the window's failure text for a failed file operation.
enum class CliCommand { Inspect, Hide, Extract, Wipe };

// Tells the user how a command ended, in the window's words plus the line naming the file and
// the cause, and hands back the exit status a script sees.
ExitCode Report(CliSession& session, CliCommand command, const Outcome& outcome);

}  // namespace velquist::cli
