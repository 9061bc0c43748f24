// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BesideEventLoop.h"

#include <chrono>
#include <future>

#include "platform/EventPump.h"

namespace velquist {

void RunBesideEventLoop(EventPump* pump, const std::function<void()>& step,
                        const std::function<void()>& onWait) {
    if (!pump) {
        step();
        return;
    }
    std::future<void> done = std::async(std::launch::async, step);
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        if (onWait) onWait();
        pump->Yield();
    }
    done.get();
}

}  // namespace velquist
