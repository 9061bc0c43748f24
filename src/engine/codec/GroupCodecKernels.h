// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

// The lookup tables and whole-group kernels of the table codec: the kernel that runs on every
// processor, and the one that codes the groups a vector kernel's step leaves.
namespace velquist::GroupCodec::detail {

// A group as two little-endian words: bytes 0-7 and bytes 8-11.
struct Spread {
    std::uint64_t lo = 0;
    std::uint32_t hi = 0;
};

constexpr void SetByte(Spread& s, int index, std::uint8_t bits) {
    if (index < 8)
        s.lo |= static_cast<std::uint64_t>(bits) << (8 * index);
    else
        s.hi |= static_cast<std::uint32_t>(bits) << (8 * (index - 8));
}

// Where each message byte of a triple puts its bits: three low fields (2, 1 and 3 bits) in
// bytes 3k, 3k+1, 3k+2, and its top two bits in bytes 9 to 11.
constexpr Spread SpreadOf(int k, std::uint8_t m) {
    Spread s;
    SetByte(s, 3 * k, m & 0x03);
    SetByte(s, 3 * k + 1, (m >> 2) & 0x01);
    SetByte(s, 3 * k + 2, (m >> 3) & 0x07);
    if (k == 0) SetByte(s, 9, (m >> 6) & 0x03);
    if (k == 1) {
        SetByte(s, 10, (m >> 6) & 0x01);
        SetByte(s, 11, static_cast<std::uint8_t>(((m >> 7) & 0x01) << 2));
    }
    if (k == 2) SetByte(s, 11, (m >> 6) & 0x03);
    return s;
}

using Table = std::array<Spread, 256>;

constexpr Table MakeTable(int k) {
    Table t{};
    for (int m = 0; m < 256; ++m) t[m] = SpreadOf(k, static_cast<std::uint8_t>(m));
    return t;
}

inline constexpr Table kSpread0 = MakeTable(0);
inline constexpr Table kSpread1 = MakeTable(1);
inline constexpr Table kSpread2 = MakeTable(2);
// The bits each message byte owns: the spread of 0xFF.
inline constexpr Spread kField0 = SpreadOf(0, 0xFF);
inline constexpr Spread kField1 = SpreadOf(1, 0xFF);
inline constexpr Spread kField2 = SpreadOf(2, 0xFF);
inline constexpr std::uint64_t kWholeLo = kField0.lo | kField1.lo | kField2.lo;
inline constexpr std::uint32_t kWholeHi = kField0.hi | kField1.hi | kField2.hi;

inline Spread Load(const std::uint8_t* group) {
    Spread s;
    std::memcpy(&s.lo, group, 8);
    std::memcpy(&s.hi, group + 8, 4);
    return s;
}

inline void Store(std::uint8_t* group, const Spread& s) {
    std::memcpy(group, &s.lo, 8);
    std::memcpy(group + 8, &s.hi, 4);
}

inline void EmbedWhole(std::uint8_t* group, const std::uint8_t* m) {
    Spread g = Load(group);
    const Spread& a = kSpread0[m[0]];
    const Spread& b = kSpread1[m[1]];
    const Spread& c = kSpread2[m[2]];
    g.lo = (g.lo & ~kWholeLo) | a.lo | b.lo | c.lo;
    g.hi = (g.hi & ~kWholeHi) | a.hi | b.hi | c.hi;
    Store(group, g);
}

// Each message bit read straight out of the two group words.
inline void ExtractWhole(const std::uint8_t* group, std::uint8_t* m) {
    const Spread g = Load(group);
    const std::uint64_t lo = g.lo;
    const std::uint32_t hi = g.hi;
    m[0] = static_cast<std::uint8_t>((lo & 0x03) | ((lo >> 6) & 0x04) | ((lo >> 13) & 0x38) |
                                     ((hi >> 2) & 0xC0));
    m[1] = static_cast<std::uint8_t>(((lo >> 24) & 0x03) | ((lo >> 30) & 0x04) |
                                     ((lo >> 37) & 0x38) | ((hi >> 10) & 0x40) |
                                     ((hi >> 19) & 0x80));
    m[2] = static_cast<std::uint8_t>(((lo >> 48) & 0x03) | ((lo >> 54) & 0x04) |
                                     ((hi << 3) & 0x38) | ((hi >> 18) & 0xC0));
}

static_assert(std::endian::native == std::endian::little,
              "the group tables assume a little-endian machine");

}  // namespace velquist::GroupCodec::detail
