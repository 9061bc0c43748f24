// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRunner.h"

#include <sstream>

#include "cli/CliApp.h"
#include "cli/ErrorConsole.h"

namespace velquist::testing {

CliRunner CliRunner::WithInput(std::string text) {
    CliRunner runner;
    runner.stdinText = std::move(text);
    return runner;
}

CliRunner CliRunner::WithTerminal(std::string path) {
    CliRunner runner;
    runner.terminalPath = std::move(path);
    return runner;
}

CliRunner CliRunner::WithFault(NumberedFiles::FaultHook hook) {
    CliRunner runner;
    runner.faultHook = std::move(hook);
    return runner;
}

CliRunner CliRunner::InChinese() {
    CliRunner runner;
    runner.language = cli::Language::Chinese;
    return runner;
}

CliResult CliRunner::Run(const std::vector<std::string>& args) const {
    std::istringstream in(stdinText);
    std::ostringstream out, err;
    cli::CliIo io{.in = in,
                  .out = out,
                  .err = err,
                  .errIsTerminal = errIsTerminal,
                  .errColumns = errColumns,
                  .terminalPath = terminalPath,
                  .inFd = -1,
                  .language = language,
                  .catalogFolder = VELQUIST_BUILD_LOCALE_DIR,
                  .clock = clock,
                  .faultHook = faultHook};
    CliResult result;
    result.code = cli::RunCli(args, io);
    result.out = out.str();
    result.err = err.str();
    return result;
}

CliResult RunCli(const std::vector<std::string>& args) { return CliRunner{}.Run(args); }

std::string Line(const std::string& prompt) { return cli::Trimmed(prompt) + "\n"; }

}  // namespace velquist::testing
