// SPDX-License-Identifier: GPL-3.0-or-later
// Four groups at a time in 16-byte registers, for processors without 32-byte ones.
#include <immintrin.h>

#include <cstring>

#include "engine/codec/GroupCodecLanes.h"

#define VELQUIST_SSSE3 __attribute__((target("ssse3")))

namespace velquist::GroupCodec {

namespace {

using lanes::EmbedLane;
using lanes::ExtractLane;
using lanes::Lane;

constexpr EmbedLane kEmbed[3] = {lanes::MakeEmbedLane(0, 0), lanes::MakeEmbedLane(16, 0),
                                 lanes::MakeEmbedLane(32, 0)};
constexpr ExtractLane kExtract[4] = {lanes::MakeExtractLane(0), lanes::MakeExtractLane(3),
                                     lanes::MakeExtractLane(6), lanes::MakeExtractLane(9)};

VELQUIST_SSSE3 inline __m128i Load(const Lane& lane) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lane.data()));
}

VELQUIST_SSSE3 inline __m128i EmbedInto(__m128i carrier, __m128i window, const EmbedLane& e) {
    __m128i s = _mm_shuffle_epi8(window, Load(e.source));
    __m128i f = _mm_and_si128(s, Load(e.shift0));
    f = _mm_or_si128(f, _mm_and_si128(_mm_srli_epi16(s, 2), Load(e.shift2)));
    f = _mm_or_si128(f, _mm_and_si128(_mm_srli_epi16(s, 3), Load(e.shift3)));
    f = _mm_or_si128(f, _mm_and_si128(_mm_srli_epi16(s, 6), Load(e.shift6)));
    f = _mm_or_si128(f, _mm_and_si128(_mm_slli_epi16(s, 3), Load(e.left3)));
    return _mm_or_si128(_mm_and_si128(carrier, Load(e.keep)), f);
}

VELQUIST_SSSE3 inline __m128i ExtractFrom(__m128i group, const ExtractLane& x) {
    __m128i fields = _mm_and_si128(_mm_shuffle_epi8(group, Load(x.gather)), Load(x.fields));
    __m128i sums = _mm_madd_epi16(_mm_maddubs_epi16(fields, Load(x.weights)), _mm_set1_epi16(1));
    return _mm_or_si128(_mm_shuffle_epi8(sums, Load(x.pick)), _mm_shuffle_epi8(sums, Load(x.pickTop)));
}

}  // namespace

VELQUIST_SSSE3 std::size_t EmbedRunSsse3(std::uint8_t* groups, const std::uint8_t* message,
                                         std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint8_t* c = groups + 12 * i;
        const std::uint8_t* m = message + 3 * i;
        std::uint32_t tail;
        std::memcpy(&tail, m + 8, 4);
        __m128i window = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(m)),
                                            _mm_cvtsi32_si128(static_cast<int>(tail)));
        for (int r = 0; r < 3; ++r) {
            auto* at = reinterpret_cast<__m128i*>(c + 16 * r);
            _mm_storeu_si128(at, EmbedInto(_mm_loadu_si128(at), window, kEmbed[r]));
        }
    }
    return i;
}

// Each group is loaded on its own, 16 bytes from its start, so the last load of a step reaches
// 4 bytes into the next group: a step needs a fifth group behind it.
VELQUIST_SSSE3 std::size_t ExtractRunSsse3(const std::uint8_t* groups, std::uint8_t* message,
                                           std::size_t n) {
    std::size_t i = 0;
    for (; i + 5 <= n; i += 4) {
        const std::uint8_t* c = groups + 12 * i;
        __m128i bytes = _mm_setzero_si128();
        for (int p = 0; p < 4; ++p) {
            __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 12 * p));
            bytes = _mm_or_si128(bytes, ExtractFrom(group, kExtract[p]));
        }
        std::uint8_t* m = message + 3 * i;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(m), bytes);
        std::uint32_t tail = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 8)));
        std::memcpy(m + 8, &tail, 4);
    }
    return i;
}

}  // namespace velquist::GroupCodec
