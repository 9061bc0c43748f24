// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/history/DecoderColours.h"

#include <algorithm>
#include <array>

namespace velquist::history {

namespace {

constexpr int kFractionBits = 16;
constexpr std::int64_t kOneHalf = std::int64_t{1} << (kFractionBits - 1);

constexpr std::int64_t Fixed(double x) {
    return static_cast<std::int64_t>(x * static_cast<double>(std::int64_t{1} << kFractionBits) + 0.5);
}

// What each chroma value adds to a luminance, as the decoder tabulates it: red and blue get
// whole numbers; green keeps its fixed-point parts (the half for rounding in the Cb part) and
// is shifted once they are added.
struct ChromaTables {
    std::array<int, 256> crToRed{};
    std::array<int, 256> cbToBlue{};
    std::array<std::int64_t, 256> crToGreen{};
    std::array<std::int64_t, 256> cbToGreen{};
};

constexpr ChromaTables MakeTables() {
    ChromaTables t;
    for (int i = 0; i < 256; ++i) {
        std::int64_t x = i - 128;
        t.crToRed[i] = static_cast<int>((Fixed(1.40200) * x + kOneHalf) >> kFractionBits);
        t.cbToBlue[i] = static_cast<int>((Fixed(1.77200) * x + kOneHalf) >> kFractionBits);
        t.crToGreen[i] = -Fixed(0.71414) * x;
        t.cbToGreen[i] = -Fixed(0.34414) * x + kOneHalf;
    }
    return t;
}

constexpr ChromaTables kTables = MakeTables();

struct Offsets {
    int red;
    int green;
    int blue;
};

Offsets ChromaOffsets(int cb, int cr) {
    return {kTables.crToRed[cr], static_cast<int>((kTables.cbToGreen[cb] + kTables.crToGreen[cr]) >> kFractionBits),
            kTables.cbToBlue[cb]};
}

std::uint8_t Limit(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

Rgb DecoderColours::Convert(std::uint8_t y, std::uint8_t cb, std::uint8_t cr) {
    Offsets d = ChromaOffsets(cb, cr);
    return {Limit(y + d.red), Limit(y + d.green), Limit(y + d.blue)};
}

DecoderColours::DecoderColours() : bits_((std::size_t{1} << 24) / 64, 0) {
    auto add = [this](std::uint32_t index) { bits_[index >> 6] |= std::uint64_t{1} << (index & 63); };
    for (int cb = 0; cb < 256; ++cb) {
        for (int cr = 0; cr < 256; ++cr) {
            Offsets d = ChromaOffsets(cb, cr);
            auto limited = [&](int y) { return Index({Limit(y + d.red), Limit(y + d.green), Limit(y + d.blue)}); };
            // From `low` to `high` no sample is limited and each step of Y adds one to all
            // three: most of the table, without the limiting.
            int low = std::max(0, -std::min({d.red, d.green, d.blue}));
            int high = std::min(255, 255 - std::max({d.red, d.green, d.blue}));
            for (int y = 0; y < low; ++y) add(limited(y));
            std::uint32_t index = limited(low);
            for (int y = low; y <= high; ++y, index += 0x010101) add(index);
            for (int y = std::max(low, high + 1); y < 256; ++y) add(limited(y));
        }
    }
}

const DecoderColours& DecoderColours::Get() {
    static const DecoderColours colours;
    return colours;
}

}  // namespace velquist::history
