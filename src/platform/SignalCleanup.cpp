// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SignalCleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "platform/RetractionGuard.h"
#include "platform/TemporaryFileGuard.h"

namespace velquist::SignalCleanup {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

termios guardedSettings{};
std::atomic<int> guardedFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

// Only async-signal-safe calls: tcsetattr, pwrite, unlink, sigaction, raise. errno need not
// be saved: the handler re-raises its signal with the default action, which ends the process
// as soon as the handler returns, before any interrupted code could look at errno again.
void OnEndingSignal(int signal) {
    int fd = guardedFd.load();
    std::atomic_signal_fence(std::memory_order_acquire);
    if (fd >= 0) ::tcsetattr(fd, TCSANOW, &guardedSettings);
    RetractionGuard::RetractNow();
    TemporaryFileGuard::RemoveNow();
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    ::sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    // Blocked until this handler returns; then the default action ends the process.
    ::raise(signal);
}

bool StartedIgnored(int signal) {
    struct sigaction current{};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

void Install() {
    struct sigaction action{};
    action.sa_handler = OnEndingSignal;
    ::sigemptyset(&action.sa_mask);
    for (int signal : kEndingSignals) ::sigaddset(&action.sa_mask, signal);
    for (int signal : kEndingSignals)
        if (!StartedIgnored(signal)) ::sigaction(signal, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
}

void GuardTerminal(int fd, const termios& saved) noexcept {
    guardedFd.store(-1);
    guardedSettings = saved;
    // The settings are complete before a handler can see the descriptor that points at them.
    std::atomic_signal_fence(std::memory_order_release);
    guardedFd.store(fd);
}

void ReleaseTerminal() noexcept { guardedFd.store(-1); }

}  // namespace velquist::SignalCleanup
