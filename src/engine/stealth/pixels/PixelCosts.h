// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

#include "engine/stealth/LargeArray.h"

namespace velquist::stealth {

// What changing a pixel's samples costs, and which of them the plan flips. A pixel's cost is not
// the sum of its samples' costs: a detector of colour pictures watches the differences R - G and
// B - G, which a lone change moves and a change of all three samples the same way does not. So
//
//     D = c0 x0 + c1 x1 + c2 x2 + d0 (x0 xor x1) + d2 (x2 xor x1)
//
// with x the flips of the pixel's three samples in cover order (offset 1 is always green), c
// their costs in their own planes and d0, d2 the costs of moving the difference of the sample at
// offset 0 or 2 and green. Flips that go together go the same way (ChangeDirections), so a
// difference moves exactly when one of its two samples flips. Pixels are numbered by their first
// sample / 3, which also holds for a picture with transparent pixels. Costs are kept as the top
// half of a float (8 significant bits), twelve bytes a pixel.
class PixelCosts {
public:
    explicit PixelCosts(std::uint64_t samples) : pixels_(samples / 3) {}

    void SetSampleCost(std::uint64_t sample, float cost) { Of(sample).cost[sample % 3] = Pack(cost); }
    // `sample` is the red or blue one (offset 0 or 2) whose difference with green this prices.
    void SetDifferenceCost(std::uint64_t sample, float cost) {
        Of(sample).difference[sample % 3 / 2] = Pack(cost);
    }

    float SampleCost(std::uint64_t sample) const { return Unpack(Of(sample).cost[sample % 3]); }
    float DifferenceCost(std::uint64_t sample) const {
        return Unpack(Of(sample).difference[sample % 3 / 2]);
    }

    // How much D changes when the sample's flip is toggled and its pixel's others stay: negative
    // when the toggle is a gain. Exact for any set of toggles with at most one per pixel, or with
    // offsets 0 and 2 only, which do not interact.
    float ToggleCost(std::uint64_t sample) const {
        const Pixel& p = Of(sample);
        const unsigned flips = Flips(p);
        const unsigned o = static_cast<unsigned>(sample % 3);
        const float own = Unpack(p.cost[o]) * Sign(flips >> o & 1);
        const float d0 = Unpack(p.difference[0]) * Sign((flips ^ flips >> 1) & 1);
        const float d2 = Unpack(p.difference[1]) * Sign((flips >> 2 ^ flips >> 1) & 1);
        if (o == 0) return own + d0;
        if (o == 2) return own + d2;
        return own + d0 + d2;
    }

    // Plans a flip of the sample for the next round, leaving this round's as it is until
    // Advance; a sample not named flips nowhere next round.
    void PlanNextFlip(std::uint64_t sample) {
        std::atomic_ref(Of(sample).flips).fetch_or(static_cast<std::uint8_t>(1u << (sample % 3 + kNext)),
                                                   std::memory_order_relaxed);
    }
    // The next round's flips become the plan.
    void Advance(unsigned threads);

    bool Flipped(std::uint64_t sample) const { return Flips(Of(sample)) >> (sample % 3) & 1; }
    // Safe while other threads toggle the pixel's other samples.
    void Toggle(std::uint64_t sample) {
        std::atomic_ref(Of(sample).flips).fetch_xor(static_cast<std::uint8_t>(1u << (sample % 3)),
                                                    std::memory_order_relaxed);
    }
    void ClearFlips();

    // D of the pixel that holds `sample`, as planned.
    float PixelDistortion(std::uint64_t sample) const;

    const void* Address(std::uint64_t sample) const { return &Of(sample); }

private:
    struct Pixel {
        std::uint16_t cost[3];
        std::uint16_t difference[2];  // offsets 0 and 2 against green
        std::uint8_t flips;           // bit o: the sample at offset o flips; bit 4 + o: next round
        std::uint8_t unused;
    };

    static constexpr unsigned kNext = 4;

    static float Distortion(const Pixel& p, unsigned x) {
        float d = 0;
        for (unsigned o = 0; o < 3; ++o) d += static_cast<float>(x >> o & 1) * Unpack(p.cost[o]);
        d += static_cast<float>((x ^ x >> 1) & 1) * Unpack(p.difference[0]);
        d += static_cast<float>((x >> 2 ^ x >> 1) & 1) * Unpack(p.difference[1]);
        return d;
    }

    static std::uint16_t Pack(float cost) {
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(cost);
        return static_cast<std::uint16_t>((bits + 0x7FFF + (bits >> 16 & 1)) >> 16);
    }
    static float Unpack(std::uint16_t half) { return std::bit_cast<float>(std::uint32_t{half} << 16); }
    static float Sign(unsigned set) { return set ? -1.0f : 1.0f; }
    static unsigned Flips(const Pixel& p) {
        return std::atomic_ref(const_cast<std::uint8_t&>(p.flips)).load(std::memory_order_relaxed) & 7u;
    }

    Pixel& Of(std::uint64_t sample) { return pixels_[sample / 3]; }
    const Pixel& Of(std::uint64_t sample) const { return pixels_[sample / 3]; }

    LargeArray<Pixel> pixels_;
};

}  // namespace velquist::stealth
