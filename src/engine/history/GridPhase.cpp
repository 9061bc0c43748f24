// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/history/GridPhase.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace velquist::history {

namespace {

// Larger steps are the picture's own edges, wherever they fall; a block edge is a small step.
constexpr int kLargestStep = 12;
constexpr std::uint32_t kRowPairs = 256;

int Luma(const std::uint8_t* s) {
    return (77 * s[0] + 150 * s[1] + 29 * s[2]) >> 8;
}

unsigned Strongest(const std::array<std::uint64_t, 8>& steps) {
    return static_cast<unsigned>(std::max_element(steps.begin(), steps.end()) - steps.begin());
}

}  // namespace

GridPhase GridPhase::Find(const Pixels& pixels) {
    std::array<std::uint64_t, 8> across{};
    std::array<std::uint64_t, 8> down{};
    // Luminance per pixel, or -1 where a pixel does not carry (its colour means nothing).
    std::vector<int> above(pixels.width);
    std::vector<int> row(pixels.width);
    auto read = [&](std::uint32_t y, std::vector<int>& out) {
        std::size_t first = static_cast<std::size_t>(y) * pixels.width;
        for (std::uint32_t x = 0; x < pixels.width; ++x)
            out[x] = pixels.carriesAt(first + x) ? Luma(pixels.rgb.data() + 3 * (first + x)) : -1;
    };
    auto step = [](int a, int b) -> std::uint64_t {
        return a < 0 || b < 0 ? 0 : static_cast<std::uint64_t>(std::min(std::abs(a - b), kLargestStep));
    };
    // About 256 pairs of rows spread over the picture are plenty; an odd stride is prime to
    // eight, so every phase is still seen.
    std::uint32_t stride = pixels.height / kRowPairs | 1;
    for (std::uint32_t y = 1; y < pixels.height; y += stride) {
        read(y - 1, above);
        read(y, row);
        for (std::uint32_t x = 1; x < pixels.width; ++x) across[x % 8] += step(row[x], row[x - 1]);
        for (std::uint32_t x = 0; x < pixels.width; ++x) down[y % 8] += step(row[x], above[x]);
    }
    return {Strongest(across), Strongest(down)};
}

}  // namespace velquist::history
