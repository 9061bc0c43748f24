#pragma once

#include <string>

#include "cli/ExitCode.h"

namespace velquist::cli {

// A pass reports its end only in a box; the box it showed last tells a refusal (too large),
// a damaged picture and a failed read or write apart.
ExitCode ExitCodeForFailedPass(const std::string& lastErrorPrompt);

}  // namespace velquist::cli
