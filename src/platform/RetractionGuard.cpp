// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RetractionGuard.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>

namespace velquist::RetractionGuard {

namespace {

struct Write {
    int fd = -1;
    std::int64_t offset = 0;
    std::uint8_t bytes[kMaxBytes] = {};
    std::size_t length = 0;
};

Write writes[kMaxWrites];
std::atomic<int> armed[kMaxWrites];
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

}  // namespace

bool Arm(int fd, std::int64_t offset, std::span<const std::uint8_t> bytes) noexcept {
    if (bytes.size() > kMaxBytes) return false;
    for (std::size_t i = 0; i < kMaxWrites; ++i) {
        if (armed[i].load()) continue;
        writes[i].fd = fd;
        writes[i].offset = offset;
        std::copy(bytes.begin(), bytes.end(), writes[i].bytes);
        writes[i].length = bytes.size();
        // The write is whole before a signal handler can find it armed.
        std::atomic_signal_fence(std::memory_order_release);
        armed[i].store(1);
        return true;
    }
    return false;
}

void Disarm() noexcept {
    for (auto& flag : armed) flag.store(0);
}

void DisarmFd(int fd) noexcept {
    for (std::size_t i = 0; i < kMaxWrites; ++i)
        if (armed[i].load() && writes[i].fd == fd) armed[i].store(0);
}

void RetractNow() noexcept {
    for (std::size_t i = 0; i < kMaxWrites; ++i) {
        if (!armed[i].exchange(0)) continue;
        std::atomic_signal_fence(std::memory_order_acquire);
        const Write& w = writes[i];
        [[maybe_unused]] ssize_t done = ::pwrite(w.fd, w.bytes, w.length, static_cast<off_t>(w.offset));
    }
}

}  // namespace velquist::RetractionGuard
