// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workflows/MainView.h"

namespace velquist {

// Keeps the window's commands away from the open files while a pass runs: the pass yields
// once per group, and a click arriving then must not reopen the carrier.
class BusyScope {
public:
    explicit BusyScope(MainView& view) : view_(view) { view_.SetBusy(true); }
    ~BusyScope() { view_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    MainView& view_;
};

}  // namespace velquist
