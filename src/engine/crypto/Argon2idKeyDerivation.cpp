// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/crypto/Argon2idKeyDerivation.h"

#include <sodium.h>

#include "engine/crypto/PayloadError.h"
#include "engine/crypto/SodiumReady.h"

namespace velquist {

Argon2idKeyDerivation Argon2idKeyDerivation::CheapForTests() {
    return {crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN};
}

SecretBytes Argon2idKeyDerivation::Derive(const SecretBytes& password, PayloadSalt salt) const {
    EnsureSodiumReady();
    SecretBytes key(format2::kKeyLength);
    key.Resize(format2::kKeyLength);
    // Fails only when the memory for the derivation cannot be had.
    if (crypto_pwhash(key.data(), key.size(), reinterpret_cast<const char*>(password.data()),
                      password.size(), salt.data(),
                      opsLimit_, memLimit_, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw PayloadError(PayloadError::Kind::Unavailable);
    return key;
}

}  // namespace velquist
