// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

// Starts libsodium once per process, from whichever thread comes first; throws
// PayloadError(Unavailable) when it cannot start.
void EnsureSodiumReady();

}  // namespace velquist
