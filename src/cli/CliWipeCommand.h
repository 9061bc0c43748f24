#pragma once

#include <string>

#include "cli/ExitCode.h"

namespace velquist::cli {

struct CliRequest;
struct CliSession;

// Wipes a picture that holds hidden data.
ExitCode RunWipe(const CliRequest& request, CliSession& session);
// The sound wipe itself, with its message; also what extract --wipe ends with.
ExitCode WipePicture(CliSession& session, const std::string& path);

}  // namespace velquist::cli
