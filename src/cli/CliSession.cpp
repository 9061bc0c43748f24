// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSession.h"

#include "cli/Localization.h"

namespace velquist::cli {

CliSession::CliSession(CliIo& io, bool passwordStdin)
    : out(io.out),
      console(io.err, io.errIsTerminal, io.errColumns, io.clock),
      passwords(io.in, io.inFd, passwordStdin, io.terminalPath),
      platform(console, passwords),
      window(console) {
    job.VersionWord = kVersionWordStart;
    job.Password = kPasswordFiller;
    if (io.faultHook) platform.Files().SetFaultHook(io.faultHook);
}

ExitCode CliSession::Fail(ExitCode code, const std::string& text, const std::string& detail) {
    Tell(text, detail);
    return code;
}

void CliSession::Tell(const std::string& text, const std::string& detail) {
    console.Say(Shown(text) + detail);
}

}  // namespace velquist::cli
