// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SignalCleanup.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>

#include "platform/TemporaryFileGuard.h"

namespace velquist::cli::SignalCleanup {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

termios guardedSettings{};
volatile std::sig_atomic_t guardedFd = -1;

// Only async-signal-safe calls: tcsetattr, unlink, sigaction, raise.
void OnEndingSignal(int signal) {
    int fd = guardedFd;
    if (fd >= 0) ::tcsetattr(fd, TCSANOW, &guardedSettings);
    TemporaryFileGuard::RemoveNow();
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    ::sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    // Blocked until this handler returns; then the default action ends the process.
    ::raise(signal);
}

}  // namespace

void Install() {
    struct sigaction action{};
    action.sa_handler = OnEndingSignal;
    ::sigemptyset(&action.sa_mask);
    for (int signal : kEndingSignals) ::sigaddset(&action.sa_mask, signal);
    for (int signal : kEndingSignals) ::sigaction(signal, &action, nullptr);
    ::signal(SIGXFSZ, SIG_IGN);
}

void GuardTerminal(int fd, const termios& saved) noexcept {
    guardedFd = -1;
    guardedSettings = saved;
    guardedFd = fd;
}

void ReleaseTerminal() noexcept { guardedFd = -1; }

}  // namespace velquist::cli::SignalCleanup
