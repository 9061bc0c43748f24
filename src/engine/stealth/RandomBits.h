// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velquist::stealth {

// Unpredictable bits from libsodium's CSPRNG, for the choices an embedder may make freely
// (which way a change goes when both cost the same): nothing about them may be guessable.
class RandomBits {
public:
    explicit RandomBits(std::size_t count);

    bool operator[](std::size_t i) const { return (bytes_[i / 8] >> (i % 8)) & 1; }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace velquist::stealth
