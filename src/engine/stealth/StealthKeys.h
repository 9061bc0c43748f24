// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace velquist::stealth {

// What the passphrase hashing may spend. Version 3 fixes Format(); what Cheapest() derives opens
// only with Cheapest(), so it serves tests and fuzz targets alone.
struct KdfCost {
    unsigned long long opsLimit;
    std::size_t memLimit;

    static KdfCost Format();
    static KdfCost Cheapest();
};

// The three keys a passphrase gives under one cover's salt: the keyed order, the header mask and
// the message stream. They live in locked memory that is zeroed when the keys go.
class StealthKeys {
public:
    static constexpr std::size_t kKeyLength = 32;
    static constexpr std::size_t kSaltLength = 16;
    using Key = std::span<const std::uint8_t, kKeyLength>;
    using Salt = std::span<const std::uint8_t, kSaltLength>;
    using SaltBytes = std::array<std::uint8_t, kSaltLength>;

    // The slow step (a fraction of a second and 64 MiB at the format's cost). The salt follows
    // from the kind of cover and its geometry, each kind's beside its cover, so the same
    // passphrase gives other keys in another carrier. Throws std::invalid_argument for a
    // passphrase outside 1 to 256 bytes, StealthError(OutOfMemory) or
    // StealthError(CryptoUnavailable) when it cannot run.
    static StealthKeys Derive(std::string_view passphrase, Salt salt,
                              KdfCost cost = KdfCost::Format());

    StealthKeys(StealthKeys&& other) noexcept;
    StealthKeys& operator=(StealthKeys&& other) noexcept;
    StealthKeys(const StealthKeys&) = delete;
    StealthKeys& operator=(const StealthKeys&) = delete;
    ~StealthKeys();

    Key Order() const { return Key(secret_, kKeyLength); }
    Key Header() const { return Key(secret_ + kKeyLength, kKeyLength); }
    Key Message() const { return Key(secret_ + 2 * kKeyLength, kKeyLength); }
    // Not secret: it follows from the cover's geometry; the first message piece authenticates it.
    Salt PictureSalt() const { return Salt(salt_, kSaltLength); }

private:
    StealthKeys();

    std::uint8_t* secret_;
    std::uint8_t salt_[kSaltLength];
};

}  // namespace velquist::stealth
