// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace velquist::history {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// Every colour the standard JPEG decoder's integer YCbCr-to-RGB step can put out, for any Y,
// Cb and Cr from 0 to 255: about a quarter of all RGB triples. A decoded JPEG has no pixel
// outside the set, and a change of one to a sample leaves it about three times in four, so a
// picture that was a JPEG gives away any such change.
class DecoderColours {
public:
    // Built once, on first use (about 30 ms, 2 MiB), and shared by every thread.
    static const DecoderColours& Get();

    bool Contains(Rgb colour) const {
        std::uint32_t index = Index(colour);
        return (bits_[index >> 6] >> (index & 63)) & 1;
    }

    // The decoder's conversion: fixed-point tables with 16 fraction bits, rounded by adding
    // one half, the result limited to 0 .. 255.
    static Rgb Convert(std::uint8_t y, std::uint8_t cb, std::uint8_t cr);

    static std::uint32_t Index(Rgb colour) {
        return (std::uint32_t{colour.r} << 16) | (std::uint32_t{colour.g} << 8) | colour.b;
    }

private:
    DecoderColours();

    std::vector<std::uint64_t> bits_;
};

}  // namespace velquist::history
