// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "cli/ExitCode.h"
#include "engine/format/CarrierHeader.h"

namespace velquist::cli {

struct CliSession;

// Reads the picture's header and refuses, with its message, a picture no command can use:
// missing, a folder, unreadable, damaged or not 24-bit. Returns Ok with `header` filled in.
ExitCode CheckPicture(CliSession& session, const std::string& path, CarrierHeader& header);

}  // namespace velquist::cli
