// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

// Remembers the one named temporary file that exists while an extraction's output or a picture's
// replacement is written, so that a process ended by a signal can remove it instead of leaving
// a half-written output, or an old picture, behind.
// Signal-safe: the path lives in a fixed buffer and removal calls only unlink().
namespace TemporaryFileGuard {

// Records `path` as the pending temporary file (a longer path than the buffer is not kept).
void Remember(const char* path) noexcept;
// Forgets it once it has been renamed into place or removed (any other path: nothing).
void ForgetIf(const char* path) noexcept;
// Removes the pending temporary file, if any; callable from a signal handler.
void RemoveNow() noexcept;

}  // namespace TemporaryFileGuard

}  // namespace velquist
