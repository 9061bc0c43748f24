#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "platform/NumberedFiles.h"

namespace velquist::cli {

// The outside world of one run: the three standard streams, whether standard error is a
// terminal (for the progress bar) and the terminal a password is asked on.
struct CliIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    std::string terminalPath = "/dev/tty";
    // Tests only: makes chosen file operations fail.
    NumberedFiles::FaultHook faultHook;
};

}  // namespace velquist::cli
