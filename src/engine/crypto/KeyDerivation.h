// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/crypto/SecretBytes.h"
#include "engine/format/Format2.h"

namespace velquist {

using PayloadSalt = std::span<const std::uint8_t, format2::kSaltLength>;

// Turns the password and the carrier's salt into the stream key (format2::kKeyLength bytes).
// The programs always use
// Argon2idKeyDerivation; tests and fuzz targets may substitute a cheap one. Derive may be
// called from a worker thread; it throws PayloadError(Unavailable) when it cannot run.
class KeyDerivation {
public:
    virtual ~KeyDerivation() = default;
    virtual SecretBytes Derive(const SecretBytes& password, PayloadSalt salt) const = 0;
};

}  // namespace velquist
