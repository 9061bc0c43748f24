// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/StealthKeys.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "engine/stealth/SodiumStart.h"
#include "engine/stealth/StealthError.h"

namespace velquist::stealth {

namespace {

constexpr std::size_t kSecretLength = 3 * StealthKeys::kKeyLength;

}  // namespace

KdfCost KdfCost::Format() { return {3, 67108864}; }

KdfCost KdfCost::Cheapest() {
    return {crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN};
}

StealthKeys::StealthKeys() : secret_(nullptr), salt_{} {
    StartSodium();
    secret_ = static_cast<std::uint8_t*>(sodium_malloc(kSecretLength));
    if (secret_ == nullptr) throw StealthError(StealthError::Kind::OutOfMemory);
}

StealthKeys::StealthKeys(StealthKeys&& other) noexcept
    : secret_(std::exchange(other.secret_, nullptr)) {
    std::copy(std::begin(other.salt_), std::end(other.salt_), salt_);
}

StealthKeys& StealthKeys::operator=(StealthKeys&& other) noexcept {
    if (this != &other) {
        sodium_free(secret_);
        secret_ = std::exchange(other.secret_, nullptr);
        std::copy(std::begin(other.salt_), std::end(other.salt_), salt_);
    }
    return *this;
}

// sodium_free zeroes the keys before it gives their pages back.
StealthKeys::~StealthKeys() { sodium_free(secret_); }

StealthKeys StealthKeys::Derive(std::string_view passphrase, Salt salt, KdfCost cost) {
    if (passphrase.empty() || passphrase.size() > 256)
        throw std::invalid_argument("a passphrase has 1 to 256 bytes");
    StealthKeys keys;
    std::copy(salt.begin(), salt.end(), keys.salt_);
    // Argon2id fails only when it cannot have its memory.
    if (crypto_pwhash(keys.secret_, kSecretLength, passphrase.data(), passphrase.size(),
                      keys.salt_, cost.opsLimit, cost.memLimit,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw StealthError(StealthError::Kind::OutOfMemory);
    return keys;
}

}  // namespace velquist::stealth
