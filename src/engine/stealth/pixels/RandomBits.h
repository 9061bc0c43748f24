// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velquist::stealth {

class FreeChoices;

// `count` bits for choices an embedder may make freely, drawn from `choices`.
class RandomBits {
public:
    RandomBits(std::size_t count, FreeChoices& choices);

    bool operator[](std::size_t i) const { return (bytes_[i / 8] >> (i % 8)) & 1; }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace velquist::stealth
