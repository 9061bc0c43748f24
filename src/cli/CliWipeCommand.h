// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"

namespace velquist::cli {

struct CliRequest;
struct CliSession;

// Wipes a picture that holds hidden data.
ExitCode RunWipe(const CliRequest& request, CliSession& session);

}  // namespace velquist::cli
