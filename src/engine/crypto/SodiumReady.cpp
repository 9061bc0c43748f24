// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/crypto/SodiumReady.h"

#include <sodium.h>

#include "engine/crypto/PayloadError.h"

namespace velquist {

void EnsureSodiumReady() {
    // sodium_init is itself safe to call from several threads; the static only spares the call.
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw PayloadError(PayloadError::Kind::Unavailable);
}

}  // namespace velquist
