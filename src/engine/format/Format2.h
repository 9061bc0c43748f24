// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// Version 2 of the carrier: the same marker word, header group and group codec as version 1,
// but the bytes in the groups are an encrypted, authenticated stream and no password is
// stored. The payload is the 16-byte salt, the 24-byte stream header, then the message in
// pieces of 64 KiB (the last shorter; an empty message is one empty piece), each piece
// growing by 17 bytes of tag and MAC.
namespace velquist::format2 {

inline constexpr std::uint32_t kVersion2 = 0x20000000u;
inline constexpr std::uint32_t kMarkerEncrypted = 0x28000000u;  // version 2, password flag set
// Bits 24-26 of the marker word, which version 2 keeps at 0.
inline constexpr std::uint32_t kReservedBits = 0x07000000u;

inline constexpr std::int64_t kSaltLength = 16;
inline constexpr std::int64_t kStreamHeaderLength = 24;
inline constexpr std::int64_t kPrefixLength = kSaltLength + kStreamHeaderLength;
inline constexpr std::int64_t kPieceLength = 65536;
inline constexpr std::int64_t kPieceOverhead = 17;
inline constexpr std::int64_t kSealedPieceLength = kPieceLength + kPieceOverhead;
inline constexpr std::int64_t kKeyLength = 32;
inline constexpr std::int64_t kHeaderGroupLength = 12;  // additional data of the first piece

// The marker word's 24-bit length field holds N, the payload length.
inline constexpr std::int64_t kMaxPayloadLength = 16777215;
inline constexpr std::int64_t kMaxMessageLength = 16772823;

// The key derivation's parameters are part of the format: changing them is a new version.
inline constexpr unsigned long long kOpsLimit = 3;
inline constexpr std::size_t kMemLimit = 67108864;

// Pieces a message of `messageLength` bytes is sealed in.
constexpr std::int64_t PieceCount(std::int64_t messageLength) {
    std::int64_t pieces = (messageLength + kPieceLength - 1) / kPieceLength;
    return pieces < 1 ? 1 : pieces;
}

// N, the payload bytes carried in the groups for a message of `messageLength` bytes.
constexpr std::int64_t PayloadLength(std::int64_t messageLength) {
    return kPrefixLength + messageLength + kPieceOverhead * PieceCount(messageLength);
}

// The message length a payload of `payloadLength` bytes holds, or nothing when no message
// seals to exactly that many bytes: such a carrier is damaged.
constexpr std::optional<std::int64_t> MessageLength(std::int64_t payloadLength) {
    if (payloadLength > kMaxPayloadLength) return std::nullopt;
    std::int64_t sealed = payloadLength - kPrefixLength;
    std::int64_t pieces = (sealed + kSealedPieceLength - 1) / kSealedPieceLength;
    std::int64_t message = sealed - kPieceOverhead * (pieces < 1 ? 1 : pieces);
    if (message < 0 || PayloadLength(message) != payloadLength) return std::nullopt;
    return message;
}

// True when a message of `messageLength` bytes, sealed, fits `payloadCapacity` payload bytes
// (for a carrier, the version-1 largest message, carrier::LargestMessage) and the length field.
constexpr bool MessageFits(std::int64_t messageLength, std::int64_t payloadCapacity) {
    return messageLength >= 0 && messageLength <= kMaxMessageLength &&
           PayloadLength(messageLength) <= payloadCapacity;
}

static_assert(PayloadLength(kMaxMessageLength) == kMaxPayloadLength);
static_assert(PayloadLength(kMaxMessageLength + 1) > kMaxPayloadLength);

}  // namespace velquist::format2
