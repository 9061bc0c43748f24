// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <array>
#include <limits>

#include "engine/stealth/TrellisKernels.h"

namespace velquist::stealth::trellis {

namespace {

constexpr float kUnreachable = std::numeric_limits<float>::infinity();

// Keeps the states whose lowest bit is the block's payload bit, shifted down: that bit is
// complete, and no earlier block reaches the new top bit. Returns what was taken off.
float Prune(float* weights, unsigned bit) {
    for (std::size_t s = 0; s < kStates / 2; ++s) weights[s] = weights[2 * s + bit];
    std::fill(weights + kStates / 2, weights + kStates, kUnreachable);
    float least = *std::min_element(weights, weights + kStates / 2);
    for (std::size_t s = 0; s < kStates / 2; ++s) weights[s] -= least;
    return least;
}

}  // namespace

double ForwardScalar(const Segment& segment, std::uint8_t* path, float* weights) {
    std::fill(weights, weights + kStates, kUnreachable);
    weights[0] = 0;
    std::array<float, kStates> next;
    double removed = 0;
    std::size_t i = 0;
    for (std::size_t b = 0; b < segment.blocks; ++b) {
        for (std::size_t k = 0; k < segment.width; ++k, ++i) {
            const unsigned column = segment.columns[k];
            const float flip = segment.costs[i];
            const float keep0 = segment.cover[i] ? flip : 0.0f;  // cost of ending at 0
            const float keep1 = segment.cover[i] ? 0.0f : flip;  // cost of ending at 1
            std::uint8_t* bitsOut = path + i * kPathBytes;
            std::fill(bitsOut, bitsOut + kPathBytes, 0);
            for (unsigned s = 0; s < kStates; ++s) {
                float stay = weights[s] + keep0;
                float move = weights[s ^ column] + keep1;
                bool moved = move < stay;
                next[s] = moved ? move : stay;
                bitsOut[s / 8] |= static_cast<std::uint8_t>(moved << (s % 8));
            }
            std::copy(next.begin(), next.end(), weights);
        }
        removed += Prune(weights, segment.bits[b]);
    }
    return removed;
}

}  // namespace velquist::stealth::trellis
