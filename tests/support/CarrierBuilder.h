// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace velquist::testing {

// Builds BMP pictures in memory for tests: any size, header length, bit count and compression
// field, with rows padded to four bytes as BMP writers do and optional bytes after the pixels.
struct CarrierBuilder {
    std::int32_t width = 100;
    std::int32_t height = 100;
    std::uint16_t bitCount = 24;
    std::uint32_t pixelOffset = 54;  // 54, or larger for the version 4 and 5 info headers
    std::uint32_t seed = 1;          // pixel pattern; 0 gives all-zero pixels
    std::uint8_t fill = 0;           // used when seed is 0
    std::uint32_t compression = 0;   // the field at offset 30
    std::size_t trailing = 0;        // bytes after the pixel array, such as a colour profile

    std::vector<std::uint8_t> Build() const;
    static std::size_t RowBytes(std::int32_t width, std::uint16_t bitCount);
};

void PutLE32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t GetLE32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

}  // namespace velquist::testing
