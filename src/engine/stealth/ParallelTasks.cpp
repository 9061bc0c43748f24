// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/ParallelTasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace velquist::stealth {

unsigned ThreadsFor(unsigned threads) {
    if (threads != 0) return threads;
    return std::max(1u, std::thread::hardware_concurrency());
}

void RunParallel(std::size_t count, unsigned threads,
                 const std::function<void(std::size_t)>& task) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr firstError;
    std::mutex errorLock;
    auto work = [&] {
        for (std::size_t i; !failed && (i = next++) < count;) {
            try {
                task(i);
            } catch (...) {
                std::lock_guard lock(errorLock);
                if (!firstError) firstError = std::current_exception();
                failed = true;
            }
        }
    };
    const auto helpers = static_cast<std::size_t>(
        std::min<std::size_t>(ThreadsFor(threads), std::max<std::size_t>(count, 1)) - 1);
    std::vector<std::thread> pool;
    pool.reserve(helpers);
    // Without a thread to spare the tasks still run, on fewer threads.
    for (std::size_t t = 0; t < helpers; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (std::thread& thread : pool) thread.join();
    if (firstError) std::rethrow_exception(firstError);
}

}  // namespace velquist::stealth
