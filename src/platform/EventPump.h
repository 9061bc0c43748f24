// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

// Lets pending window events run while a long step works on the window's own thread. A pass
// that has none (the command line, the benchmark, the fuzz targets) makes no call at all.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Cheap enough to call once per group.
    virtual void Yield() = 0;
};

}  // namespace velquist
