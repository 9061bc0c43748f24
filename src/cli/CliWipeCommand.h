#pragma once

#include "cli/ExitCode.h"

namespace velquist::cli {

struct CliRequest;
struct CliSession;

// Wipes a picture that holds hidden data.
ExitCode RunWipe(const CliRequest& request, CliSession& session);

}  // namespace velquist::cli
