// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"

namespace velquist::cli {

struct CliRequest;
struct CliSession;

// Takes the hidden file out to DIR/output.EXT with the window's version and password checks,
// prints its path, and wipes the picture afterwards when asked to.
ExitCode RunExtract(const CliRequest& request, CliSession& session);

}  // namespace velquist::cli
