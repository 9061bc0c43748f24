// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/CodeColumns.h"

#include <sodium.h>

#include <array>

#include "engine/stealth/Keystream.h"

namespace velquist::stealth {

std::vector<std::uint8_t> CodeColumns::Derive(std::span<const std::uint8_t, 32> orderKey,
                                              std::size_t width) {
    static constexpr std::uint8_t kLabel[] = {'c', 'o', 'd', 'e'};
    std::array<std::uint8_t, 32> seed;
    crypto_generichash(seed.data(), seed.size(), kLabel, sizeof kLabel, orderKey.data(),
                       orderKey.size());
    std::vector<std::uint8_t> words(2 * width);
    {
        Keystream stream(seed);
        stream.Fill(words);
    }
    sodium_memzero(seed.data(), seed.size());
    std::vector<std::uint8_t> columns(width);
    // The low byte of each little-endian word holds the seven bits that count.
    for (std::size_t k = 0; k < width; ++k)
        columns[k] = static_cast<std::uint8_t>((words[2 * k] & 0x7F) | kAlwaysSet);
    return columns;
}

}  // namespace velquist::stealth
