// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist::stealth {

// Starts libsodium once per process, from whichever thread comes first; throws
// StealthError(CryptoUnavailable) when it cannot start.
void StartSodium();

}  // namespace velquist::stealth
