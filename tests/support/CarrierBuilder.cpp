// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CarrierBuilder.h"

#include <cstdlib>
#include <random>

namespace velquist::testing {

void PutLE32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetLE32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

std::size_t CarrierBuilder::RowBytes(std::int32_t width, std::uint16_t bitCount) {
    std::size_t bits = static_cast<std::size_t>(std::abs(width)) * bitCount;
    return ((bits + 31) / 32) * 4;
}

std::vector<std::uint8_t> CarrierBuilder::Build() const {
    std::size_t pixels = RowBytes(width, bitCount) * static_cast<std::size_t>(std::abs(height));
    std::vector<std::uint8_t> bytes(pixelOffset + pixels + trailing, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLE32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    PutLE32(bytes, 10, pixelOffset);
    PutLE32(bytes, 14, pixelOffset - 14 >= 40 ? pixelOffset - 14 : 40);
    PutLE32(bytes, 18, static_cast<std::uint32_t>(width));
    PutLE32(bytes, 22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = static_cast<std::uint8_t>(bitCount);
    bytes[29] = static_cast<std::uint8_t>(bitCount >> 8);
    PutLE32(bytes, 30, compression);
    PutLE32(bytes, 34, static_cast<std::uint32_t>(pixels));
    std::mt19937 rng(seed);
    for (std::size_t i = pixelOffset; i < bytes.size(); ++i)
        bytes[i] = seed ? static_cast<std::uint8_t>(rng()) : fill;
    return bytes;
}

}  // namespace velquist::testing
