// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSession.h"

#include "cli/Localization.h"

namespace velquist::cli {

CliSession::CliSession(CliIo& io, bool passwordStdin)
    : out(io.out),
      console(io.err, io.errIsTerminal, io.errColumns, io.clock),
      passwords(io.in, io.inFd, passwordStdin, io.terminalPath) {
    if (io.faultHook) files.SetFaultHook(io.faultHook);
}

ExitCode CliSession::Fail(ExitCode code, const char* text, const std::string& detail) {
    Tell(text, detail);
    return code;
}

void CliSession::Tell(const char* text, const std::string& detail) { console.Say(Tr(text) + detail); }

}  // namespace velquist::cli
