// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>

namespace velquist::stealth {

// Runs task(0) .. task(count - 1) on up to `threads` threads (0: one per core), each thread
// taking the next task as it finishes one. Returns when all are done; the first exception a
// task threw is thrown again here, and the tasks not yet started are skipped.
void RunParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task);

// The threads a request for `threads` gets: 0 means one per core.
unsigned ThreadsFor(unsigned threads);

}  // namespace velquist::stealth
