// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "engine/stealth/SyndromeReader.h"
#include "engine/stealth/ViterbiEmbedder.h"

namespace velquist::stealth {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Payload bit i straight from the banded matrix: blocks i - 6 .. i, bit (i - b) of each column.
Bytes Syndrome(const Bytes& y, const Bytes& columns, std::size_t bits) {
    const std::size_t w = columns.size();
    Bytes out(bits, 0);
    for (std::size_t i = 0; i < bits; ++i)
        for (std::size_t b = i < 6 ? 0 : i - 6; b <= i; ++b)
            for (std::size_t k = 0; k < w; ++k) out[i] ^= (columns[k] >> (i - b) & 1) & y[b * w + k];
    return out;
}

struct Case {
    Bytes cover, columns, bits;
    std::vector<float> costs;
};

// `held`: some positions cost infinitely much to flip, as when a pass holds them.
Case RandomCase(std::mt19937& rng, std::size_t blocks, std::size_t width, bool held = false) {
    Case c;
    for (std::size_t k = 0; k < width; ++k) c.columns.push_back(static_cast<std::uint8_t>((rng() & 0x7F) | 0x41));
    for (std::size_t i = 0; i < blocks * width; ++i) {
        c.cover.push_back(rng() & 1);
        // Some costs repeat, so that ties are met.
        float cost = rng() % 4 == 0 ? 1.0f : std::uniform_real_distribution<float>(0.01f, 50)(rng);
        if (held && rng() % 4 == 0) cost = std::numeric_limits<float>::infinity();
        c.costs.push_back(cost);
    }
    for (std::size_t b = 0; b < blocks; ++b) c.bits.push_back(rng() & 1);
    return c;
}

// The least cost over every choice of bits, by trying them all.
double BruteForce(const Case& c) {
    const std::size_t n = c.cover.size();
    double best = std::numeric_limits<double>::infinity();
    for (std::uint32_t choice = 0; choice < (1u << n); ++choice) {
        Bytes y(n);
        double cost = 0;
        for (std::size_t i = 0; i < n; ++i) {
            y[i] = choice >> i & 1;
            if (y[i] != c.cover[i]) cost += c.costs[i];
        }
        if (cost < best && Syndrome(y, c.columns, c.bits.size()) == c.bits) best = cost;
    }
    return best;
}

double CostOf(const Case& c, const Bytes& stego) {
    double cost = 0;
    for (std::size_t i = 0; i < stego.size(); ++i)
        if (stego[i] != c.cover[i]) cost += c.costs[i];
    return cost;
}

// Also with held positions: the cheapest bits never flip one, and an impossible segment is told.
TEST(StealthViterbi, FindsTheCheapestBitsWithTheWantedSyndromeOnEveryKernel) {
    std::mt19937 rng(42);
    for (int trial = 0; trial < 60; ++trial) {
        const std::size_t width = 2 + rng() % 3;
        const std::size_t blocks = 1 + rng() % (14 / width);
        const Case c = RandomCase(rng, blocks, width, trial % 2 == 1);
        SCOPED_TRACE(::testing::Message() << "trial " << trial << ", " << blocks << " x " << width);
        const double least = BruteForce(c);
        for (auto kernel : ViterbiEmbedder::Available()) {
            ViterbiEmbedder embedder(kernel);
            Bytes stego(c.cover.size());
            const double cost = embedder.Embed(c.cover, c.costs, c.columns, c.bits, stego);
            // Where the held bits leave no way to the syndrome, no finite cost may claim one.
            if (std::isinf(least)) {
                EXPECT_FALSE(std::isfinite(cost));
                continue;
            }
            EXPECT_EQ(Syndrome(stego, c.columns, blocks), c.bits);
            EXPECT_NEAR(CostOf(c, stego), least, 1e-3);
            EXPECT_NEAR(cost, least, 1e-3);
        }
    }
}

// Past the reach of brute force, every kernel gives the same bits, whose syndrome is the message
// by the matrix and by the register the reader uses.
TEST(StealthViterbi, LongSegmentsCarryTheirBitsAndKernelsAgree) {
    std::mt19937 rng(7);
    for (std::size_t width : {2u, 3u, 7u, 10u, 31u}) {
        for (std::size_t blocks : {1u, 6u, 7u, 8u, 500u}) {
            SCOPED_TRACE(::testing::Message() << blocks << " x " << width);
            const Case c = RandomCase(rng, blocks, width);
            std::vector<Bytes> results;
            for (auto kernel : ViterbiEmbedder::Available()) {
                ViterbiEmbedder embedder(kernel);
                Bytes stego(c.cover.size());
                embedder.Embed(c.cover, c.costs, c.columns, c.bits, stego);
                // Reused for a second, shorter segment: nothing of the first may leak into it.
                Bytes again(width);
                embedder.Embed(Bytes(width, 0), std::vector<float>(width, 1), c.columns, Bytes{1}, again);
                EXPECT_EQ(Syndrome(again, c.columns, 1), Bytes{1});
                EXPECT_EQ(Syndrome(stego, c.columns, blocks), c.bits);
                Bytes read(blocks);
                SyndromeReader::Read(stego, c.columns, read);
                EXPECT_EQ(read, c.bits);
                results.push_back(stego);
            }
            for (const Bytes& r : results) EXPECT_EQ(r, results.front());
        }
    }
}

}  // namespace
}  // namespace velquist::stealth
