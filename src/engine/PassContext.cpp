// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PassContext.h"

#include "engine/crypto/Argon2idKeyDerivation.h"

namespace velquist {

const KeyDerivation& KeysOf(const PassContext& ctx) {
    static const Argon2idKeyDerivation formatKeys;
    return ctx.keys ? *ctx.keys : formatKeys;
}

}  // namespace velquist
