// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velquist::testing {

// Small crafted pictures for the hostile-header tests: an ordinary 8 x 4 picture (150 bytes,
// pixel data at 54) and variations of its header.
namespace HostilePictures {

inline constexpr std::size_t kLength = 150;

std::vector<std::uint8_t> Ordinary();
// The first `length` bytes of the ordinary picture.
std::vector<std::uint8_t> Cut(std::size_t length);
// The ordinary picture with another pixel-data offset and marker word.
std::vector<std::uint8_t> WithHeader(std::int32_t pixelOffset, std::uint32_t marker);
// The ordinary picture with the marker word and another 32-bit value at offset `at`.
std::vector<std::uint8_t> WithField(std::size_t at, std::uint32_t value, std::uint32_t marker);
// The ordinary picture holding `message` (no password), then its three extension bytes
// replaced by `extension`.
std::vector<std::uint8_t> Holding(const std::vector<std::uint8_t>& message,
                                  const std::vector<std::uint8_t>& extension = {'t', 'x', 't'});

}  // namespace HostilePictures

}  // namespace velquist::testing
