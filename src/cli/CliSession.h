// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>

#include "cli/CliIo.h"
#include "cli/ConsolePlatform.h"
#include "cli/ConsoleWindow.h"
#include "cli/ErrorConsole.h"
#include "cli/ExitCode.h"
#include "cli/PasswordReader.h"
#include "engine/JobState.h"
#include "engine/PassContext.h"

namespace velquist::cli {

// Everything one subcommand works with: the console stand-ins for the platform and the main
// window, and the job state set up as the window's start-up leaves it.
struct CliSession {
    CliSession(CliIo& io, bool passwordStdin);

    // Says why the command ends, in the user's language (`text` is a message id or a window's
    // text, `detail` the file or cause after it), and hands back its exit status.
    ExitCode Fail(ExitCode code, const std::string& text, const std::string& detail = "");
    // Says how something went, in the user's language.
    void Tell(const std::string& text, const std::string& detail = "");

    std::ostream& out;
    ErrorConsole console;
    PasswordReader passwords;
    ConsolePlatform platform;
    ConsoleWindow window;
    JobState job;
    PassContext ctx{job, platform, window};
};

}  // namespace velquist::cli
