// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sodium.h>

#include <cstdint>
#include <limits>
#include <vector>

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
