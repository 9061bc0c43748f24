// SPDX-License-Identifier: GPL-3.0-or-later
#include <immintrin.h>

#include <limits>
#include <utility>

#include "engine/stealth/TrellisKernels.h"

// The 128 weights are 16 vectors of 8 lanes: state s is lane s % 8 of vector s / 8. A column
// h sends state s to s ^ h, which is vector r ^ (h >> 3), lanes permuted by h & 7.
namespace velquist::stealth::trellis {

namespace {

constexpr int kVectors = kStates / 8;

__attribute__((target("avx2"))) float PruneAvx2(__m256* w, unsigned bit) {
    const __m256i pick = bit ? _mm256_setr_epi32(1, 3, 5, 7, 1, 3, 5, 7)
                             : _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    for (int q = 0; q < kVectors / 2; ++q) {
        __m256 low = _mm256_permutevar8x32_ps(w[2 * q], pick);
        __m256 high = _mm256_permutevar8x32_ps(w[2 * q + 1], pick);
        w[q] = _mm256_blend_ps(low, high, 0xF0);
    }
    const __m256 unreachable = _mm256_set1_ps(std::numeric_limits<float>::infinity());
    for (int q = kVectors / 2; q < kVectors; ++q) w[q] = unreachable;
    __m256 least = w[0];
    for (int q = 1; q < kVectors / 2; ++q) least = _mm256_min_ps(least, w[q]);
    least = _mm256_min_ps(least, _mm256_permute2f128_ps(least, least, 1));
    least = _mm256_min_ps(least, _mm256_shuffle_ps(least, least, _MM_SHUFFLE(1, 0, 3, 2)));
    least = _mm256_min_ps(least, _mm256_shuffle_ps(least, least, _MM_SHUFFLE(2, 3, 0, 1)));
    for (int q = 0; q < kVectors / 2; ++q) w[q] = _mm256_sub_ps(w[q], least);
    return _mm256_cvtss_f32(least);
}

// Vector r of the next weights: each state either keeps the position's bit (from `stay`, and
// pays `flip` if the cover bit is 1) or sets it (from `from`, permuted, and pays if it is 0).
// Only one side pays, so only one side adds.
template <bool kCoverOne>
__attribute__((target("avx2"))) inline void Settle(__m256 stay, __m256 from, __m256i lanes,
                                                   __m256 cost, unsigned r, __m256* next,
                                                   std::uint8_t* bitsOut) {
    __m256 move = _mm256_permutevar8x32_ps(from, lanes);
    if constexpr (kCoverOne)
        stay = _mm256_add_ps(stay, cost);
    else
        move = _mm256_add_ps(move, cost);
    bitsOut[r] = static_cast<std::uint8_t>(_mm256_movemask_ps(_mm256_cmp_ps(move, stay, _CMP_LT_OQ)));
    next[r] = _mm256_min_ps(stay, move);
}

// One position. Bit 6 of every column is set, so vector r (r < 8) and vector r ^ (column >> 3)
// (8 or more) feed each other: each pair is loaded once.
template <bool kCoverOne>
__attribute__((target("avx2"))) void StepAvx2(const __m256* w, __m256* next, unsigned column,
                                              float flip, std::uint8_t* bitsOut) {
    const __m256i lanes = _mm256_xor_si256(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                                           _mm256_set1_epi32(static_cast<int>(column & 7)));
    const unsigned across = column >> 3;
    const __m256 cost = _mm256_set1_ps(flip);
#pragma GCC unroll 8
    for (unsigned r = 0; r < kVectors / 2; ++r) {
        const __m256 low = w[r];
        const __m256 high = w[r ^ across];
        Settle<kCoverOne>(low, high, lanes, cost, r, next, bitsOut);
        Settle<kCoverOne>(high, low, lanes, cost, r ^ across, next, bitsOut);
    }
}

}  // namespace

__attribute__((target("avx2"))) double ForwardAvx2(const Segment& segment, std::uint8_t* path,
                                                   float* weights) {
    alignas(32) __m256 a[kVectors];
    alignas(32) __m256 b[kVectors];
    const __m256 unreachable = _mm256_set1_ps(std::numeric_limits<float>::infinity());
    for (int r = 0; r < kVectors; ++r) a[r] = unreachable;
    a[0] = _mm256_blend_ps(unreachable, _mm256_setzero_ps(), 1);  // only state 0 to start
    __m256* w = a;
    __m256* next = b;
    double removed = 0;
    std::size_t i = 0;
    for (std::size_t blk = 0; blk < segment.blocks; ++blk) {
        for (std::size_t k = 0; k < segment.width; ++k, ++i) {
            if (segment.cover[i])
                StepAvx2<true>(w, next, segment.columns[k], segment.costs[i], path + i * kPathBytes);
            else
                StepAvx2<false>(w, next, segment.columns[k], segment.costs[i], path + i * kPathBytes);
            std::swap(w, next);
        }
        removed += PruneAvx2(w, segment.bits[blk]);
    }
    for (int r = 0; r < kVectors; ++r) _mm256_store_ps(weights + 8 * r, w[r]);
    return removed;
}

}  // namespace velquist::stealth::trellis
