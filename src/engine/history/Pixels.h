// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velquist::history {

// A picture as the judgement reads it: 8-bit red, green and blue per pixel, rows from the top,
// and optionally which pixels a hide may change (a fully transparent PNG pixel never is, and
// its colour is whatever the writer left there).
struct Pixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // 3 * width * height bytes.
    std::span<const std::uint8_t> rgb;
    // Empty (every pixel carries), or width * height bytes: 0 where a pixel does not carry.
    std::span<const std::uint8_t> carries;

    std::size_t count() const { return static_cast<std::size_t>(width) * height; }
    bool carriesAt(std::size_t pixel) const { return carries.empty() || carries[pixel] != 0; }
};

}  // namespace velquist::history
