// SPDX-License-Identifier: GPL-3.0-or-later
// Eight groups at a time in 32-byte registers: 96 carrier bytes and 24 message bytes a step.
#include <immintrin.h>

#include "engine/codec/GroupCodecLanes.h"

#define VELQUIST_AVX2 __attribute__((target("avx2")))

namespace velquist::GroupCodec {

namespace {

using Wide = std::array<std::uint8_t, 32>;

// The carrier register r of a step holds carrier bytes 32r to 32r + 31; both its lanes read
// the 16 message bytes from byte 4r of the step, which hold every byte those lanes carry.
struct EmbedPair {
    Wide source, shift0, shift2, shift3, shift6, left3, keep;
};

constexpr EmbedPair MakeEmbedPair(int r) {
    lanes::EmbedLane lo = lanes::MakeEmbedLane(32 * r, 4 * r);
    lanes::EmbedLane hi = lanes::MakeEmbedLane(32 * r + 16, 4 * r);
    return {lanes::Pair(lo.source, hi.source), lanes::Pair(lo.shift0, hi.shift0),
            lanes::Pair(lo.shift2, hi.shift2), lanes::Pair(lo.shift3, hi.shift3),
            lanes::Pair(lo.shift6, hi.shift6), lanes::Pair(lo.left3, hi.left3),
            lanes::Pair(lo.keep, hi.keep)};
}

constexpr bool SourcesInWindow(const EmbedPair& e) {
    for (std::uint8_t s : e.source)
        if (s > 15) return false;
    return true;
}

constexpr EmbedPair kEmbed[3] = {MakeEmbedPair(0), MakeEmbedPair(1), MakeEmbedPair(2)};
static_assert(SourcesInWindow(kEmbed[0]) && SourcesInWindow(kEmbed[1]) &&
              SourcesInWindow(kEmbed[2]));

// Register p of a step holds group p in its low lane and group p + 4 in its high lane, so the
// four registers' message bytes add up to groups 0-3 in the low lane and 4-7 in the high one.
struct ExtractPair {
    Wide gather, fields, weights, pick, pickTop;
};

constexpr ExtractPair MakeExtractPair(int p) {
    lanes::ExtractLane x = lanes::MakeExtractLane(3 * p);
    return {lanes::Pair(x.gather, x.gather), lanes::Pair(x.fields, x.fields),
            lanes::Pair(x.weights, x.weights), lanes::Pair(x.pick, x.pick),
            lanes::Pair(x.pickTop, x.pickTop)};
}

constexpr ExtractPair kExtract[4] = {MakeExtractPair(0), MakeExtractPair(1), MakeExtractPair(2),
                                     MakeExtractPair(3)};

VELQUIST_AVX2 inline __m256i Load(const Wide& w) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w.data()));
}

VELQUIST_AVX2 inline __m256i EmbedInto(__m256i carrier, __m256i window, const EmbedPair& e) {
    __m256i s = _mm256_shuffle_epi8(window, Load(e.source));
    __m256i f = _mm256_and_si256(s, Load(e.shift0));
    f = _mm256_or_si256(f, _mm256_and_si256(_mm256_srli_epi16(s, 2), Load(e.shift2)));
    f = _mm256_or_si256(f, _mm256_and_si256(_mm256_srli_epi16(s, 3), Load(e.shift3)));
    f = _mm256_or_si256(f, _mm256_and_si256(_mm256_srli_epi16(s, 6), Load(e.shift6)));
    f = _mm256_or_si256(f, _mm256_and_si256(_mm256_slli_epi16(s, 3), Load(e.left3)));
    return _mm256_or_si256(_mm256_and_si256(carrier, Load(e.keep)), f);
}

VELQUIST_AVX2 inline __m256i ExtractFrom(__m256i groups, const ExtractPair& x) {
    __m256i fields = _mm256_and_si256(_mm256_shuffle_epi8(groups, Load(x.gather)), Load(x.fields));
    __m256i sums = _mm256_madd_epi16(_mm256_maddubs_epi16(fields, Load(x.weights)),
                                     _mm256_set1_epi16(1));
    return _mm256_or_si256(_mm256_shuffle_epi8(sums, Load(x.pick)),
                           _mm256_shuffle_epi8(sums, Load(x.pickTop)));
}

VELQUIST_AVX2 inline __m128i Load16(const std::uint8_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

}  // namespace

VELQUIST_AVX2 std::size_t EmbedRunAvx2(std::uint8_t* groups, const std::uint8_t* message,
                                       std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint8_t* c = groups + 12 * i;
        const std::uint8_t* m = message + 3 * i;
        for (int r = 0; r < 3; ++r) {
            auto* at = reinterpret_cast<__m256i*>(c + 32 * r);
            __m256i window = _mm256_broadcastsi128_si256(Load16(m + 4 * r));
            _mm256_storeu_si256(at, EmbedInto(_mm256_loadu_si256(at), window, kEmbed[r]));
        }
    }
    return i;
}

// Each group is loaded on its own, 16 bytes from its start, so the last load of a step reaches
// 4 bytes into the next group: a step needs a ninth group behind it.
VELQUIST_AVX2 std::size_t ExtractRunAvx2(const std::uint8_t* groups, std::uint8_t* message,
                                         std::size_t n) {
    const __m256i compact = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    std::size_t i = 0;
    for (; i + 9 <= n; i += 8) {
        const std::uint8_t* c = groups + 12 * i;
        __m256i bytes = _mm256_setzero_si256();
        for (int p = 0; p < 4; ++p) {
            __m256i pair = _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(c + 12 * p)),
                                                   Load16(c + 12 * (p + 4)), 1);
            bytes = _mm256_or_si256(bytes, ExtractFrom(pair, kExtract[p]));
        }
        bytes = _mm256_permutevar8x32_epi32(bytes, compact);
        std::uint8_t* m = message + 3 * i;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m), _mm256_castsi256_si128(bytes));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(m + 16), _mm256_extracti128_si256(bytes, 1));
    }
    return i;
}

}  // namespace velquist::GroupCodec
