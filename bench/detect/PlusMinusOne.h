// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace velquist::detect {

// A +1 or -1 change in a random direction, turned inwards at 0 and 255.
inline std::uint8_t PlusMinusOne(std::uint8_t sample, std::mt19937_64& random) {
    if (sample == 0) return 1;
    if (sample == 255) return 254;
    return static_cast<std::uint8_t>(random() & 1 ? sample + 1 : sample - 1);
}

}  // namespace velquist::detect
