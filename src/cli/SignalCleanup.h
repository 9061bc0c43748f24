// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <termios.h>

namespace velquist::cli::SignalCleanup {

// Makes SIGINT, SIGTERM and SIGHUP put the user's terminal back (echo on) and remove a
// half-written output before the process ends as the signal asks; and makes a file-size
// limit an ordinary write failure instead of a silent death.
void Install();

// While a password is typed with echo off: the settings to put back on `fd` if a signal ends
// the process.
void GuardTerminal(int fd, const termios& saved) noexcept;
void ReleaseTerminal() noexcept;

}  // namespace velquist::cli::SignalCleanup
