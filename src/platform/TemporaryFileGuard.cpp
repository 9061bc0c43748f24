// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TemporaryFileGuard.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace velquist::TemporaryFileGuard {

namespace {

constexpr std::size_t kCapacity = 4096;
char pending[kCapacity];
volatile std::sig_atomic_t armed = 0;

}  // namespace

void Remember(const char* path) noexcept {
    armed = 0;
    std::size_t length = std::strlen(path);
    if (length >= kCapacity) return;
    std::memcpy(pending, path, length + 1);
    armed = 1;
}

void ForgetIf(const char* path) noexcept {
    if (armed && std::strcmp(pending, path) == 0) armed = 0;
}

void RemoveNow() noexcept {
    if (!armed) return;
    armed = 0;
    ::unlink(pending);
}

}  // namespace velquist::TemporaryFileGuard
