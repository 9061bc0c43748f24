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
    // An empty password has no storage; libsodium still wants a valid pointer.
    static const char kNoPassword = 0;
    const char* passwd =
        password.size() == 0 ? &kNoPassword : reinterpret_cast<const char*>(password.data());
    // Fails only when the memory for the derivation cannot be had.
    if (crypto_pwhash(key.data(), key.size(), passwd, password.size(), salt.data(),
                      opsLimit_, memLimit_, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw PayloadError(PayloadError::Kind::Unavailable);
    return key;
}

}  // namespace velquist
