// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>

#include "cli/CliIo.h"
#include "cli/ConsoleProgress.h"
#include "cli/ErrorConsole.h"
#include "cli/ExitCode.h"
#include "cli/PasswordReader.h"
#include "engine/PassContext.h"
#include "platform/NumberedFiles.h"

namespace velquist::cli {

// Everything one subcommand works with: the terminal and the files. The passes get no event
// pump: nothing needs to run between groups.
struct CliSession {
    CliSession(CliIo& io, bool passwordStdin);

    // Says why the command ends, in the user's language (`text` is a message id, `detail` the
    // file or cause after it), and hands back its exit status.
    ExitCode Fail(ExitCode code, const char* text, const std::string& detail = "");
    // Says how something went, in the user's language.
    void Tell(const char* text, const std::string& detail = "");

    std::ostream& out;
    ErrorConsole console;
    PasswordReader passwords;
    NumberedFiles files;
    ConsoleProgress progress{console};
    PassContext ctx{files, progress};
};

}  // namespace velquist::cli
