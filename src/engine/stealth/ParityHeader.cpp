// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/ParityHeader.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/Cover.h"
#include "engine/stealth/KeyedCover.h"

namespace velquist::stealth {

namespace {

// A group's samples, their flips and their toggle costs at the first pass, where only samples
// that never change are held.
struct GroupCosts {
    std::array<std::uint8_t, ParityHeader::kGroup> flipped;
    std::array<float, ParityHeader::kGroup> costs;

    std::span<const std::uint32_t> Fill(std::size_t group, const KeyedCover& keyed, const Cover& cover) {
        const auto samples = keyed.Order().subspan(group * ParityHeader::kGroup, ParityHeader::kGroup);
        cover.ToggleCosts(samples, 0, flipped, costs);
        return samples;
    }
};

}  // namespace

std::uint64_t ParityHeader::Mask(Key headerKey) {
    std::uint8_t mask[8];
    crypto_generichash(mask, sizeof mask, nullptr, 0, headerKey.data(), headerKey.size());
    return bytes::LoadLE(mask, 8);
}

// Two groups a word of bits.
std::uint64_t ParityHeader::Parities(std::span<const std::uint64_t> keyedBits) {
    std::uint64_t parities = 0;
    for (std::size_t t = 0; t < kBits; ++t) {
        const auto group = static_cast<std::uint32_t>(keyedBits[t / 2] >> (t % 2 * kGroup));
        parities |= std::uint64_t{static_cast<unsigned>(std::popcount(group)) & 1u} << t;
    }
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

std::uint64_t ParityHeader::ChangeableGroups(const KeyedCover& keyed, const Cover& cover) {
    std::uint64_t changeable = 0;
    GroupCosts group;
    for (std::size_t t = 0; t < kBits; ++t) {
        group.Fill(t, keyed, cover);
        if (std::any_of(group.costs.begin(), group.costs.end(), [](float c) { return std::isfinite(c); }))
            changeable |= std::uint64_t{1} << t;
    }
    return changeable;
}

bool ParityHeader::PlanChanges(std::uint64_t wanted, const KeyedCover& keyed, Cover& cover) {
    const std::uint64_t current = Parities(keyed.Bits());
    GroupCosts group;
    for (std::size_t t = 0; t < kBits; ++t) {
        if (((wanted ^ current) >> t & 1) == 0) continue;
        const auto samples = group.Fill(t, keyed, cover);
        const auto cheapest = std::min_element(group.costs.begin(), group.costs.end());
        if (!std::isfinite(*cheapest)) return false;
        cover.Toggle(samples[static_cast<std::size_t>(cheapest - group.costs.begin())]);
    }
    return true;
}

}  // namespace velquist::stealth
