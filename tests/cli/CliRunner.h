// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "cli/ErrorConsole.h"
#include "cli/Localization.h"
#include "platform/NumberedFiles.h"

namespace velquist::testing {

struct CliResult {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the command line in-process on string streams. By default there is no terminal to
// ask a password on and standard error is no terminal either; the messages are English.
struct CliRunner {
    std::string stdinText;
    bool errIsTerminal = false;
    int errColumns = 80;
    cli::ProgressClock clock = [] { return std::chrono::steady_clock::now(); };
    cli::Language language = cli::Language::English;
    std::string terminalPath = "/nonexistent/tty";
    NumberedFiles::FaultHook faultHook;

    static CliRunner WithInput(std::string text);
    static CliRunner WithTerminal(std::string path);
    static CliRunner WithFault(NumberedFiles::FaultHook hook);
    static CliRunner InChinese();

    CliResult Run(const std::vector<std::string>& args) const;
};

// Shorthand for a run with no input, no terminal and no faults.
CliResult RunCli(const std::vector<std::string>& args);
// What a message box prompt looks like on standard error: one line, centring blanks gone.
std::string Line(const std::string& prompt);

}  // namespace velquist::testing
