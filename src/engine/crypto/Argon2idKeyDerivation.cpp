// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/crypto/Argon2idKeyDerivation.h"

#include <sodium.h>

#include "engine/crypto/PayloadError.h"
#include "engine/crypto/SodiumReady.h"

namespace velquist {

Argon2idKeyDerivation Argon2idKeyDerivation::CheapForTests() {
    return {crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN};
}

PayloadKey Argon2idKeyDerivation::Derive(std::string_view password, PayloadSalt salt) const {
    EnsureSodiumReady();
    PayloadKey key;
    // Fails only when the memory for the derivation cannot be had.
    if (crypto_pwhash(key.data(), key.size(), password.data(), password.size(), salt.data(),
                      opsLimit_, memLimit_, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw PayloadError(PayloadError::Kind::Unavailable);
    return key;
}

}  // namespace velquist
