// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace velquist::stealth {

class Cover;
class KeyedCover;

// The 64-bit header: bit t is the parity of the lowest bits at positions 32t .. 32t + 31. Masked
// with a keyed hash it reads as the payload length and four zero bytes, and as noise to anyone
// without the passphrase. The body starts after it.
class ParityHeader {
public:
    static constexpr std::size_t kBits = 64;
    static constexpr std::size_t kGroup = 32;
    static constexpr std::size_t kPositions = kBits * kGroup;
    using Key = std::span<const std::uint8_t, 32>;

    // Bit t of the result is the parity of group t. `keyedBits` holds the lowest bits in keyed
    // order (KeyedCover::Bits), at least the header's.
    static std::uint64_t Parities(std::span<const std::uint64_t> keyedBits);
    // The parities that announce `payloadLength`.
    static std::uint64_t Encode(std::uint32_t payloadLength, Key headerKey);
    // The length the parities announce, or nothing when the four high bytes do not unmask to 0.
    static std::optional<std::uint32_t> Decode(std::uint64_t parities, Key headerKey);

    // Bit t is set when group t has a sample that may change.
    static std::uint64_t ChangeableGroups(const KeyedCover& keyed, const Cover& cover);
    // In each group whose parity differs from `wanted`, plans a flip of the sample whose toggle
    // costs least given the cover's plan so far. False when such a group has no sample that may
    // change; the plan is then of no use.
    static bool PlanChanges(std::uint64_t wanted, const KeyedCover& keyed, Cover& cover);

private:
    static std::uint64_t Mask(Key headerKey);
};

}  // namespace velquist::stealth
