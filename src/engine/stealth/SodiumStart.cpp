// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/SodiumStart.h"

#include <sodium.h>

#include "engine/stealth/StealthError.h"

namespace velquist::stealth {

void StartSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw StealthError(StealthError::Kind::CryptoUnavailable);
}

}  // namespace velquist::stealth
