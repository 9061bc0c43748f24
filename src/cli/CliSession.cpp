#include "cli/CliSession.h"

namespace velquist::cli {

CliSession::CliSession(CliIo& io, bool passwordStdin)
    : out(io.out),
      console(io.err, io.errIsTerminal),
      passwords(io.in, passwordStdin, io.terminalPath),
      platform(console, passwords),
      window(console) {
    job.VersionWord = kVersionWordStart;
    job.Password = kPasswordFiller;
    if (io.faultHook) platform.Files().SetFaultHook(io.faultHook);
}

ExitCode CliSession::Fail(ExitCode code, const std::string& text) {
    console.Say(text);
    return code;
}

}  // namespace velquist::cli
