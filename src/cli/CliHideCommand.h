// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"

namespace velquist::cli {

struct CliRequest;
struct CliSession;

// Hides the message file in the picture with the window's checks, in the window's order.
ExitCode RunHide(const CliRequest& request, CliSession& session);

}  // namespace velquist::cli
