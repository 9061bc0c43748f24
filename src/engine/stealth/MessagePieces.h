// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// How a plaintext of P bytes (name length, name, file) becomes a payload of L bytes.
namespace velquist::stealth::pieces {

inline constexpr std::uint64_t kStreamHeader = 24;
inline constexpr std::uint64_t kPiece = 65536;
inline constexpr std::uint64_t kOverhead = 17;
inline constexpr std::uint64_t kSealedPiece = kPiece + kOverhead;
// The stored file name: a 16-bit length, but never more than a file name may have.
inline constexpr std::uint64_t kMaxName = 255;
// The header holds L in 32 bits.
inline constexpr std::uint64_t kMaxPayload = 0xFFFFFFFFu;

constexpr std::uint64_t PayloadLength(std::uint64_t plain) {
    const std::uint64_t count = (plain + kPiece - 1) / kPiece;
    return kStreamHeader + plain + kOverhead * (count < 1 ? 1 : count);
}

// The longest plaintext whose payload takes at most `payload` bytes, or -1 when none does.
constexpr std::int64_t LongestPlain(std::uint64_t payload) {
    if (payload < PayloadLength(0)) return -1;
    const std::uint64_t sealed = payload - kStreamHeader;
    std::uint64_t plain = sealed - kOverhead * ((sealed + kSealedPiece - 1) / kSealedPiece);
    while (PayloadLength(plain + 1) <= payload) ++plain;
    while (PayloadLength(plain) > payload) --plain;
    return static_cast<std::int64_t>(plain);
}

}  // namespace velquist::stealth::pieces
