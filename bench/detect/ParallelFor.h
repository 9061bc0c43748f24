// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace velquist::detect {

// Runs body(0) ... body(count - 1) on `threads` threads, taking indices in turn; the first
// exception a body throws is thrown again once all threads have stopped.
template <typename Body>
void ParallelFor(int count, int threads, Body body) {
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex guard;
    auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            try {
                body(i);
            } catch (...) {
                std::lock_guard lock(guard);
                if (!failure) failure = std::current_exception();
                next = count;
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace velquist::detect
