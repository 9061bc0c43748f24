// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BesideEventLoop.h"

#include <chrono>
#include <future>

#include "platform/Platform.h"

namespace velquist {

void RunBesideEventLoop(Platform& platform, const std::function<void()>& step) {
    std::future<void> done = std::async(std::launch::async, step);
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        platform.Yield();
    done.get();
}

}  // namespace velquist
