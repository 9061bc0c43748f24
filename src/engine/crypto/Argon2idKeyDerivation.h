// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "engine/crypto/KeyDerivation.h"

namespace velquist {

// The key derivation of version 2: Argon2id with the format's fixed cost (3 passes over
// 64 MiB), a fraction of a second and 64 MiB of memory per call.
class Argon2idKeyDerivation final : public KeyDerivation {
public:
    Argon2idKeyDerivation() = default;

    // For tests and fuzz targets only: libsodium's lowest cost (one pass over 8 KiB), so that
    // thousands of carriers open in a second. What it seals opens only with it.
    static Argon2idKeyDerivation CheapForTests();

    SecretBytes Derive(const SecretBytes& password, PayloadSalt salt) const override;

private:
    Argon2idKeyDerivation(unsigned long long opsLimit, std::size_t memLimit)
        : opsLimit_(opsLimit), memLimit_(memLimit) {}

    unsigned long long opsLimit_ = format2::kOpsLimit;
    std::size_t memLimit_ = format2::kMemLimit;
};

}  // namespace velquist
