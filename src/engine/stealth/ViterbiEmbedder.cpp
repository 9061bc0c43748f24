// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/ViterbiEmbedder.h"

#include <algorithm>
#include <stdexcept>

#include "engine/stealth/LargeArray.h"
#include "engine/stealth/TrellisKernels.h"

namespace velquist::stealth {

using trellis::kPathBytes;
using trellis::kStates;

std::vector<ViterbiEmbedder::Kernel> ViterbiEmbedder::Available() {
    std::vector<Kernel> kernels{Kernel::Plain};
#ifdef VELQUIST_STEALTH_AVX2
    if (__builtin_cpu_supports("avx2")) kernels.push_back(Kernel::Avx2);
#endif
    return kernels;
}

double ViterbiEmbedder::Embed(std::span<const std::uint8_t> cover, std::span<const float> costs,
                              std::span<const std::uint8_t> columns,
                              std::span<const std::uint8_t> bits, std::span<std::uint8_t> stego) {
    const std::size_t positions = bits.size() * columns.size();
    if (cover.size() != positions || costs.size() != positions || stego.size() != positions)
        throw std::invalid_argument("a segment's bits, costs and blocks disagree");
    if (positions == 0) return 0;
    if (path_.size() < positions * kPathBytes) Refit(path_, positions * kPathBytes);
    const trellis::Segment segment{cover.data(), costs.data(), columns.data(), columns.size(),
                                   bits.data(), bits.size()};
    alignas(32) float weights[kStates];
    double removed = 0;
#ifdef VELQUIST_STEALTH_AVX2
    if (kernel_ == Kernel::Avx2)
        removed = trellis::ForwardAvx2(segment, path_.data(), weights);
    else
#endif
        removed = trellis::ForwardScalar(segment, path_.data(), weights);
    const float* best = std::min_element(weights, weights + kStates);
    TraceBack(columns, bits, static_cast<unsigned>(best - weights), stego);
    return removed + *best;
}

// Walks the path bits back from the cheapest final state: each position's bit says whether the
// state was reached by setting that position's bit, and so which state came before it.
void ViterbiEmbedder::TraceBack(std::span<const std::uint8_t> columns,
                                std::span<const std::uint8_t> bits, unsigned state,
                                std::span<std::uint8_t> stego) const {
    const std::size_t width = columns.size();
    for (std::size_t b = bits.size(); b-- > 0;) {
        state = ((state << 1) | bits[b]) & (kStates - 1);
        for (std::size_t k = width; k-- > 0;) {
            const std::size_t i = b * width + k;
            const unsigned bit = (path_[i * kPathBytes + state / 8] >> (state % 8)) & 1;
            stego[i] = static_cast<std::uint8_t>(bit);
            state ^= columns[k] & -bit;
        }
    }
}

}  // namespace velquist::stealth
