// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"

namespace velquist::cli {

struct CliRequest;
struct CliSession;

// Prints what the picture's header says and how much it can hold, as lines or as one JSON
// object.
ExitCode RunInspect(const CliRequest& request, CliSession& session);

}  // namespace velquist::cli
