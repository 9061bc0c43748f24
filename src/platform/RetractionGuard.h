// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velquist {

// The writes that take back an unfinished hide (its marker word and its stored password), kept
// where a signal handler can perform them: a process ended by a signal between writing the
// password and making the whole hide durable leaves no password behind. Signal-safe: fixed
// buffers, lock-free flags, and only pwrite.
namespace RetractionGuard {

inline constexpr std::size_t kMaxWrites = 2;
inline constexpr std::size_t kMaxBytes = 16;

// Remembers that `bytes` (at most kMaxBytes) are to be written at `offset` of `fd`; false when
// the table is full.
bool Arm(int fd, std::int64_t offset, std::span<const std::uint8_t> bytes) noexcept;
// Forgets every remembered write (the hide is durable, or it has been retracted already).
void Disarm() noexcept;
// Forgets the writes to `fd`, which is about to close.
void DisarmFd(int fd) noexcept;
// Performs and forgets the remembered writes; callable from a signal handler.
void RetractNow() noexcept;

}  // namespace RetractionGuard

}  // namespace velquist
