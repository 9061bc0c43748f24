// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The shuffle indices and masks of the vector codec kernels, worked out from the embedding and
// extraction maps at compile time so that the kernels hold no hand-typed byte tables. A lane
// is 16 bytes, the reach of one byte shuffle.
namespace velquist::GroupCodec::lanes {

using Lane = std::array<std::uint8_t, 16>;
inline constexpr std::uint8_t kZero = 0x80;  // a shuffle index that yields 0

// Embedding: the carrier lane that starts at carrier byte `start` of a run gets, in every
// byte, the message byte whose bits it carries (`source`, counted from the message byte that
// the lane's message window starts at, `window`), and the masks that keep the field of each
// byte after a right shift of the source by 0, 2, 3 or 6 bits. Byte 11 of a group also takes
// bit 7 of the middle message byte, which sits in the word's low byte (byte 10) and reaches
// bit 2 by a left shift of 3.
struct EmbedLane {
    Lane source{}, shift0{}, shift2{}, shift3{}, shift6{}, left3{}, keep{};
};

constexpr EmbedLane MakeEmbedLane(int start, int window) {
    EmbedLane e;
    for (int j = 0; j < 16; ++j) {
        int group = (start + j) / 12;
        int b = (start + j) % 12;
        int k = b < 9 ? b / 3 : b - 9;
        e.source[j] = static_cast<std::uint8_t>(3 * group + k - window);
        if (b < 9) {
            std::uint8_t masks[3] = {0x03, 0x01, 0x07};
            Lane* targets[3] = {&e.shift0, &e.shift2, &e.shift3};
            (*targets[b % 3])[j] = masks[b % 3];
        } else {
            e.shift6[j] = b == 10 ? 0x01 : 0x03;
        }
        if (b == 11) e.left3[j] = 0x04;
        e.keep[j] = static_cast<std::uint8_t>(
            ~(e.shift0[j] | e.shift2[j] | e.shift3[j] | e.shift6[j] | e.left3[j]));
    }
    return e;
}

// Extraction: a lane holds one group in bytes 0 to 11. `gather` puts each message byte's
// source bytes into one 32-bit word (m0: bytes 0, 1, 2, 9; m1: 3, 4, 5, 10; m2: 6, 7, 8, 11;
// and m1's top bit from byte 11 alone in the fourth word); `fields` keeps their field bits;
// `weights` moves each field to its place in the message byte by a multiply-add, so that the
// word sums are m0, m1 without bit 7, m2 and m1's bit 7. `pick` and `pickTop` then place
// the three message bytes at bytes `slot` to `slot` + 2 of the lane.
struct ExtractLane {
    Lane gather{}, fields{}, weights{}, pick{}, pickTop{};
};

constexpr ExtractLane MakeExtractLane(int slot) {
    ExtractLane x;
    constexpr std::uint8_t kGather[16] = {0, 1, 2, 9, 3, 4, 5, 10, 6, 7, 8, 11,
                                          11, kZero, kZero, kZero};
    constexpr std::uint8_t kFields[16] = {3, 1, 7, 3, 3, 1, 7, 1, 3, 1, 7, 3, 4, 0, 0, 0};
    constexpr std::uint8_t kWeights[16] = {1, 4, 8, 64, 1, 4, 8, 64, 1, 4, 8, 64, 32, 0, 0, 0};
    for (int j = 0; j < 16; ++j) {
        x.gather[j] = kGather[j];
        x.fields[j] = kFields[j];
        x.weights[j] = kWeights[j];
        x.pick[j] = kZero;
        x.pickTop[j] = kZero;
    }
    for (int k = 0; k < 3; ++k) x.pick[slot + k] = static_cast<std::uint8_t>(4 * k);
    x.pickTop[slot + 1] = 12;
    return x;
}

// Two lanes side by side, for the 32-byte registers.
constexpr std::array<std::uint8_t, 32> Pair(const Lane& low, const Lane& high) {
    std::array<std::uint8_t, 32> p{};
    for (int j = 0; j < 16; ++j) {
        p[j] = low[j];
        p[16 + j] = high[j];
    }
    return p;
}

}  // namespace velquist::GroupCodec::lanes

namespace velquist::GroupCodec {

// Whole-group runs on the vector units; each returns how many groups it coded (a multiple of
// its step, leaving fewer than a few groups for the scalar kernel) so it never reads or writes
// past the run.
std::size_t EmbedRunSsse3(std::uint8_t* groups, const std::uint8_t* message, std::size_t n);
std::size_t ExtractRunSsse3(const std::uint8_t* groups, std::uint8_t* message, std::size_t n);
std::size_t EmbedRunAvx2(std::uint8_t* groups, const std::uint8_t* message, std::size_t n);
std::size_t ExtractRunAvx2(const std::uint8_t* groups, std::uint8_t* message, std::size_t n);

}  // namespace velquist::GroupCodec
