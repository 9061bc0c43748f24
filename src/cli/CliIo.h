// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "cli/ErrorConsole.h"
#include "cli/Localization.h"
#include "platform/NumberedFiles.h"

namespace velquist::cli {

// The outside world of one run: the three standard streams, whether standard error is a
// terminal and how wide (for the progress bar), the terminal a password is asked on, and the
// language of the messages.
struct CliIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    int errColumns = 80;
    std::string terminalPath = "/dev/tty";
    // Standard input's descriptor, to tell a typist from a script; -1 when there is none.
    int inFd = -1;
    Language language = Language::English;
    std::string catalogFolder;
    ProgressClock clock = [] { return std::chrono::steady_clock::now(); };
    // Tests only: makes chosen file operations fail.
    NumberedFiles::FaultHook faultHook;
};

}  // namespace velquist::cli
