// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace velquist::stealth {

// The 64-bit header: bit t is the parity of the lowest bits at positions 32t .. 32t + 31. Masked
// with a keyed hash it reads as the payload length and four zero bytes, and as noise to anyone
// without the passphrase.
class ParityHeader {
public:
    static constexpr std::size_t kBits = 64;
    static constexpr std::size_t kGroup = 32;
    static constexpr std::size_t kPositions = kBits * kGroup;
    using Key = std::span<const std::uint8_t, 32>;

    // Bit t of the result is the parity of group t.
    static std::uint64_t Parities(std::span<const std::uint8_t> samples,
                                  std::span<const std::uint32_t> order);
    // The parities that announce `payloadLength`.
    static std::uint64_t Encode(std::uint32_t payloadLength, Key headerKey);
    // The length the parities announce, or nothing when the four high bytes do not unmask to 0.
    static std::optional<std::uint32_t> Decode(std::uint64_t parities, Key headerKey);

    // For each group whose parity differs from `wanted`, the position in it to change: the one
    // `cost` rates cheapest.
    static void PlanChanges(std::uint64_t wanted, std::uint64_t current,
                            const std::function<float(std::size_t position)>& cost,
                            const std::function<void(std::size_t position)>& change);

private:
    static std::uint64_t Mask(Key headerKey);
};

}  // namespace velquist::stealth
