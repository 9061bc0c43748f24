// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace velquist {

class EventPump;

// Runs a slow step (a key derivation of a fraction of a second) on a worker thread while the
// calling thread keeps yielding to the event loop, so the window stays painted. Without a pump
// the step simply runs here. Rethrows what the step threw. Nothing else may touch what the
// step works on meanwhile.
void RunBesideEventLoop(EventPump* pump, const std::function<void()>& step);

}  // namespace velquist
