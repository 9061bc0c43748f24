// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velquist::stealth {

// Finds, for one segment, the lowest bits of least total flipping cost whose syndrome is the
// wanted payload bits: the Viterbi algorithm over the 128-state trellis of the code. It keeps
// one path bit per state and position, 16 bytes a position, reused from segment to segment.
class ViterbiEmbedder {
public:
    enum class Kernel { Plain, Avx2 };

    // The kernels this processor runs, the fastest last.
    static std::vector<Kernel> Available();

    explicit ViterbiEmbedder(Kernel kernel = Available().back()) : kernel_(kernel) {}

    // `cover`, `costs` and `stego` hold bits.size() blocks of columns.size() entries; bits are
    // 0 or 1, costs not negative, an infinite cost holding the cover bit (some choice must
    // leave it). Writes the chosen bits to `stego` and returns their total cost.
    double Embed(std::span<const std::uint8_t> cover, std::span<const float> costs,
                 std::span<const std::uint8_t> columns, std::span<const std::uint8_t> bits,
                 std::span<std::uint8_t> stego);

private:
    void TraceBack(std::span<const std::uint8_t> columns, std::span<const std::uint8_t> bits,
                   unsigned state, std::span<std::uint8_t> stego) const;

    Kernel kernel_;
    std::vector<std::uint8_t> path_;
};

}  // namespace velquist::stealth
