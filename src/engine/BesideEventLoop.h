// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace velquist {

class EventPump;

// Runs a slow step (a key derivation, a version-3 embedding) on a worker thread while the
// calling thread keeps yielding to the event loop, so the window stays painted; `onWait`, if
// given, runs on the calling thread before each yield (to report the step's progress). Without
// a pump the step simply runs here. Rethrows what the step threw. Nothing else may touch what
// the step works on meanwhile.
void RunBesideEventLoop(EventPump* pump, const std::function<void()>& step,
                        const std::function<void()>& onWait = {});

}  // namespace velquist
