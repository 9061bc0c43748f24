// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/PassProgress.h"
#include "platform/EventPump.h"
#include "platform/YieldSlicer.h"

namespace velquist::bench {

// What a pass costs the window: its reports counted, and a yield that costs what the window's
// time-sliced yield costs when no event is pending.
class BenchWindow : public PassProgress, public EventPump {
public:
    void Status(PassStatus) override {}
    void Percent(int) override { ++percentReports; }
    void Yield() override {
        ++yields;
        if (slicer_.Due()) ++slices;  // where the window would run its pending events
    }

    long yields = 0;
    long slices = 0;
    long percentReports = 0;

private:
    YieldSlicer slicer_;
};

}  // namespace velquist::bench
