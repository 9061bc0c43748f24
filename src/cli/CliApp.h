// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "cli/CliIo.h"

namespace velquist::cli {

// Runs one command line (without the program name) and returns the exit status.
int RunCli(const std::vector<std::string>& args, CliIo& io);

}  // namespace velquist::cli
