// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sodium.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <limits>
#include <vector>

#include "engine/stealth/KeyedOrder.h"
#include "engine/stealth/Keystream.h"
#include "engine/stealth/StealthError.h"
#include "engine/stealth/StealthKeys.h"

namespace velquist::stealth {
namespace {

TEST(StealthKeys, KeystreamInPiecesIsTheDeterministicStream) {
    ASSERT_GE(sodium_init(), 0);
    std::uint8_t seed[32];
    for (int i = 0; i < 32; ++i) seed[i] = static_cast<std::uint8_t>(i * 5 + 1);
    std::vector<std::uint8_t> whole(300000);
    randombytes_buf_deterministic(whole.data(), whole.size(), seed);
    for (std::size_t piece : {1u, 3u, 63u, 64u, 65u, 4097u, 300000u}) {
        SCOPED_TRACE(piece);
        Keystream stream(std::span<const std::uint8_t, 32>(seed, 32));
        std::vector<std::uint8_t> got(whole.size());
        // Pieces of changing sizes, so reads start and end anywhere inside a 64-byte block.
        for (std::size_t at = 0, i = 0; at < got.size(); ++i) {
            const std::size_t n = std::min(got.size() - at, piece + i % 3);
            stream.Fill(std::span(got).subspan(at, n));
            at += n;
        }
        EXPECT_EQ(got, whole);
    }
    // A stream started at a later block is the rest of the whole one.
    for (std::uint64_t block : {1u, 7u, 4000u}) {
        Keystream stream(std::span<const std::uint8_t, 32>(seed, 32), block);
        std::vector<std::uint8_t> got(whole.size() - 64 * block);
        stream.Fill(got);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), whole.begin() + static_cast<long>(64 * block))) << block;
    }
}

// The shuffle made chunk by chunk on several threads is the plain Fisher-Yates shuffle of the
// keystream's words, at sizes around its chunks and on any number of threads.
TEST(StealthKeys, KeyedOrderIsThePlainShuffleOnAnyThreads) {
    ASSERT_GE(sodium_init(), 0);
    std::uint8_t seed[32];
    for (int i = 0; i < 32; ++i) seed[i] = static_cast<std::uint8_t>(i * 3 + 2);
    const std::span<const std::uint8_t, 32> key(seed, 32);
    for (std::size_t n : {0u, 1u, 2u, 3u, 65536u, 65537u, 65538u, 600000u}) {
        std::vector<std::uint32_t> plain(n);
        std::iota(plain.begin(), plain.end(), 0u);
        if (n > 1) {
            std::vector<std::uint8_t> words(8 * (n - 1));
            randombytes_buf_deterministic(words.data(), words.size(), seed);
            for (std::size_t t = 0; t + 1 < n; ++t) {
                std::uint64_t word = 0;
                for (int b = 7; b >= 0; --b) word = word << 8 | words[8 * t + static_cast<std::size_t>(b)];
                std::swap(plain[n - 1 - t], plain[word % (n - t)]);
            }
        }
        for (unsigned threads : {1u, 2u, 5u}) {
            const auto order = KeyedOrder::Shuffle(n, key, threads);
            EXPECT_TRUE(std::equal(order.begin(), order.end(), plain.begin(), plain.end())) << n << " on " << threads;
        }
    }
}

TEST(StealthKeys, RefusesPassphrasesOutsideTheirLengthAndReportsMissingMemory) {
    const StealthKeys::SaltBytes kSalt{};
    EXPECT_THROW(StealthKeys::Derive("", kSalt, KdfCost::Cheapest()), std::invalid_argument);
    EXPECT_THROW(StealthKeys::Derive(std::string(257, 'p'), kSalt, KdfCost::Cheapest()),
                 std::invalid_argument);
    EXPECT_NO_THROW(StealthKeys::Derive(std::string(256, 'p'), kSalt, KdfCost::Cheapest()));
    try {
        StealthKeys::Derive("pw", kSalt, {1, std::numeric_limits<std::size_t>::max()});
        ADD_FAILURE() << "derived";
    } catch (const StealthError& e) {
        EXPECT_EQ(e.kind(), StealthError::Kind::OutOfMemory);
    }
}

}  // namespace
}  // namespace velquist::stealth
