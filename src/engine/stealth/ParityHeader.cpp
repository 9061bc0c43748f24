// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/ParityHeader.h"

#include <sodium.h>

#include "engine/stealth/LittleEndian.h"

namespace velquist::stealth {

std::uint64_t ParityHeader::Mask(Key headerKey) {
    std::uint8_t mask[8];
    crypto_generichash(mask, sizeof mask, nullptr, 0, headerKey.data(), headerKey.size());
    return LoadLE(mask, 8);
}

std::uint64_t ParityHeader::Parities(std::span<const std::uint8_t> samples,
                                     std::span<const std::uint32_t> order) {
    std::uint64_t parities = 0;
    for (std::size_t position = 0; position < kPositions; ++position)
        parities ^= std::uint64_t{samples[order[position]] & 1u} << (position / kGroup);
    return parities;
}

// Header byte t / 8 holds bit t at bit t % 8, so the eight bytes are the parities read as a
// little-endian word.
std::uint64_t ParityHeader::Encode(std::uint32_t payloadLength, Key headerKey) {
    return std::uint64_t{payloadLength} ^ Mask(headerKey);
}

std::optional<std::uint32_t> ParityHeader::Decode(std::uint64_t parities, Key headerKey) {
    std::uint64_t plain = parities ^ Mask(headerKey);
    if ((plain >> 32) != 0) return std::nullopt;
    return static_cast<std::uint32_t>(plain);
}

void ParityHeader::PlanChanges(std::uint64_t wanted, std::uint64_t current,
                               const std::function<float(std::size_t)>& cost,
                               const std::function<void(std::size_t)>& change) {
    for (std::size_t t = 0; t < kBits; ++t) {
        if (((wanted ^ current) >> t & 1) == 0) continue;
        std::size_t cheapest = t * kGroup;
        for (std::size_t position = cheapest + 1; position < (t + 1) * kGroup; ++position)
            if (cost(position) < cost(cheapest)) cheapest = position;
        change(cheapest);
    }
}

}  // namespace velquist::stealth
