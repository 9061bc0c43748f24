// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "engine/bytes/ByteOrder.h"

// The layout of a carrier: a 24-bit BMP whose two reserved header fields hold the marker
// word, whose first 12 pixel bytes hold the plain header group, and whose following pixel
// bytes carry the message in their low bits, 3 message bytes to every 12 carrier bytes.
// Offsets are 0-based byte offsets from the start of the file.
namespace velquist::carrier {

inline constexpr std::int64_t kMarkerOffset = 6;       // 32-bit marker word
inline constexpr std::int64_t kPixelOffsetField = 10;  // bfOffBits, signed 32-bit
inline constexpr std::int64_t kFileHeaderSize = 14;    // the info header starts here
inline constexpr std::int64_t kInfoSizeOffset = 14;    // the info header's own size, 32-bit
inline constexpr std::int64_t kWidthOffset = 18;       // signed 32-bit
inline constexpr std::int64_t kHeightOffset = 22;      // signed 32-bit; negative: top row first
inline constexpr std::int64_t kBitCountOffset = 28;    // biBitCount, 16-bit
inline constexpr std::int64_t kCompressionOffset = 30;  // 32-bit, 0 for uncompressed pixels
// The bytes read from the start of the file, through the compression field; a file shorter
// than the bit count's end is too short to be a carrier.
inline constexpr std::int64_t kFixedFieldsLength = 34;
// Info header sizes: 12 is the smallest any BMP has (and holds no bit count at offset 28),
// 16 the smallest that holds the bit count at 28, 40 the smallest that holds the compression.
inline constexpr std::int64_t kMinInfoSize = 12;
inline constexpr std::int64_t kBitCountInfoSize = 16;
inline constexpr std::int64_t kCompressionInfoSize = 40;
// The passes keep the first pixel's offset in a signed 32-bit field.
inline constexpr std::int64_t kMaxPixelOffset = 0x7FFFFFFF - 1;

inline constexpr std::int16_t kRequiredBitCount = 24;
inline constexpr std::uint32_t kUncompressed = 0;
inline constexpr std::int64_t kBytesPerPixel = 3;

inline constexpr std::uint32_t kLengthMask = 0x00FFFFFFu;
inline constexpr std::uint32_t kVersionMask = 0xF0000000u;
inline constexpr std::uint32_t kPasswordFlagBit = 0x08000000u;
inline constexpr std::uint32_t kVersion1 = 0x10000000u;
inline constexpr std::uint32_t kMarkerPlain = 0x10000000u;
inline constexpr std::uint32_t kMarkerProtected = 0x18000000u;
inline constexpr std::uint8_t kProtectedFlagByte = 0x18;
inline constexpr std::int64_t kMaxMessageLength = 16777215;
// The window shows a picture's room in units of 4092 bytes, not 4096.
inline constexpr std::int64_t kCapacityUnit = 4092;

// Header group, relative to the pixel-data offset O.
inline constexpr std::int64_t kExtensionOffset = 0;
inline constexpr std::int64_t kExtensionLength = 3;
inline constexpr std::int64_t kPasswordLengthOffset = 3;
inline constexpr std::int64_t kPasswordOffset = 4;
inline constexpr std::int64_t kPasswordLength = 8;
inline constexpr std::int64_t kHeaderGroupSize = 12;
// What an unprotected hide writes into the password field (its first 8 characters).
inline constexpr const char* kPasswordFiller = "555555555";

inline constexpr std::int64_t kGroupSize = 12;   // carrier bytes per group
inline constexpr std::int64_t kTripleSize = 3;   // message bytes per group

// A 32-bit value as it is stored in a carrier: little-endian.
inline std::array<std::uint8_t, 4> LittleEndian32(std::uint32_t value) {
    std::array<std::uint8_t, 4> stored;
    bytes::StoreLE(stored.data(), value, stored.size());
    return stored;
}

// Carrier bytes taken by a message of `length` bytes: the header group and ceil(L/3) groups.
constexpr std::int64_t PayloadBytes(std::int64_t length) {
    return kHeaderGroupSize + kGroupSize * ((length + kTripleSize - 1) / kTripleSize);
}

// True when a message of `length` bytes fits `room` carrier bytes from O.
constexpr bool MessageFitsIn(std::int64_t length, std::int64_t room) {
    return PayloadBytes(length) <= room;
}

// The largest message that fits `room` carrier bytes from O, capped by the 24-bit length
// field; -1 when not even the header group fits.
constexpr std::int64_t LargestMessageIn(std::int64_t room) {
    std::int64_t groupRoom = room - kHeaderGroupSize;
    if (groupRoom < 0) return -1;
    std::int64_t largest = (groupRoom / kGroupSize) * kTripleSize;
    return largest < kMaxMessageLength ? largest : kMaxMessageLength;
}

// A stored message reads from O up to the end of the file (F - O bytes), so carriers written
// before the hide was bounded by the pixel array stay readable; a new hide uses
// BmpHeader::hideCapacity() instead.
constexpr bool MessageFits(std::int64_t length, std::int64_t fileLength, std::int64_t pixelOffset) {
    return MessageFitsIn(length, fileLength - pixelOffset);
}

constexpr std::int64_t LargestMessage(std::int64_t fileLength, std::int64_t pixelOffset) {
    return LargestMessageIn(fileLength - pixelOffset);
}

}  // namespace velquist::carrier
