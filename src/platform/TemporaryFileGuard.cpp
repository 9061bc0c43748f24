// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TemporaryFileGuard.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

namespace velquist::TemporaryFileGuard {

namespace {

constexpr std::size_t kCapacity = 4096;
char pending[kCapacity];
std::atomic<int> armed{0};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

}  // namespace

void Remember(const char* path) noexcept {
    armed.store(0);
    std::size_t length = std::strlen(path);
    if (length >= kCapacity) return;
    std::memcpy(pending, path, length + 1);
    // The path is whole before a signal handler can find it armed.
    std::atomic_signal_fence(std::memory_order_release);
    armed.store(1);
}

void ForgetIf(const char* path) noexcept {
    if (armed.load() && std::strcmp(pending, path) == 0) armed.store(0);
}

void RemoveNow() noexcept {
    if (!armed.exchange(0)) return;
    std::atomic_signal_fence(std::memory_order_acquire);
    ::unlink(pending);
}

}  // namespace velquist::TemporaryFileGuard
