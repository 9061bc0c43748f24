// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// The forward pass of the Viterbi embedder over one segment, once plainly and once with AVX2.
// Both give the same weights and the same path bits, tie for tie.
namespace velquist::stealth::trellis {

inline constexpr std::size_t kStates = 128;
inline constexpr std::size_t kPathBytes = kStates / 8;  // one bit per state and position

struct Segment {
    const std::uint8_t* cover;    // lowest bits, blocks * width of them
    const float* costs;           // cost of flipping each of them
    const std::uint8_t* columns;  // width columns
    std::size_t width;
    const std::uint8_t* bits;  // the wanted syndrome, one bit per block
    std::size_t blocks;
};

// Fills `path` (kPathBytes per position: bit s set when state s was reached with that position's
// bit at 1) and leaves the final weights of the kStates states in `weights` (32-byte aligned).
// Weights are kept near zero as it goes; the amount taken off is returned, so that the least
// final weight plus it is the least total cost.
double ForwardScalar(const Segment& segment, std::uint8_t* path, float* weights);
// Built on x86-64 only, and run only where the processor has AVX2.
double ForwardAvx2(const Segment& segment, std::uint8_t* path, float* weights);

}  // namespace velquist::stealth::trellis
