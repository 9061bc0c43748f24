// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <termios.h>

// What both programs put right when SIGINT, SIGTERM, SIGHUP or SIGQUIT ends them (a closed
// terminal, a logout, Ctrl-C): the user's terminal gets its echo back, a half-written output
// is removed, and an unfinished hide takes back the password it wrote. Then the process ends as
// the signal asks (SIGQUIT with its core dump).
namespace velquist::SignalCleanup {

// Installs the handlers, each only for a signal the program did not start with ignored (a
// `nohup`, a background job keeps its choice). SIGPIPE is ignored, so a closed standard output
// is an ordinary write failure, and so is SIGXFSZ, so a file-size limit is one too.
void Install();

// While a password is typed with echo off: the settings to put back on `fd` if a signal ends
// the process.
void GuardTerminal(int fd, const termios& saved) noexcept;
void ReleaseTerminal() noexcept;

}  // namespace velquist::SignalCleanup
