// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velquist::jpeg {

// The range of quantised coefficients a picture of 8-bit samples has, and the writer codes.
inline constexpr int kMinDc = -1024;
inline constexpr int kMaxDc = 1023;
inline constexpr int kMaxAcMagnitude = 1023;

// One component's blocks that cover the picture (no MCU padding), as a slice of
// JpegCoefficients::values.
struct JpegPlane {
    std::uint32_t widthInBlocks = 0;
    std::uint32_t heightInBlocks = 0;
    std::size_t offset = 0;  // index of its first coefficient

    std::size_t blockCount() const { return std::size_t{widthInBlocks} * heightInBlocks; }
    std::size_t size() const { return blockCount() * 64; }
    // Index in JpegCoefficients::values of coefficient k (natural order) of a block.
    std::size_t IndexOf(std::uint32_t blockRow, std::uint32_t blockColumn, int k) const {
        return offset + (std::size_t{blockRow} * widthInBlocks + blockColumn) * 64 + static_cast<std::size_t>(k);
    }
};

// Every quantised coefficient of a JPEG: component after component in the frame's order, in
// each the blocks row after row from the top, in each block its 64 coefficients in natural
// order (row v, column u at 8v + u; the DC coefficient first).
struct JpegCoefficients {
    std::vector<JpegPlane> planes;
    std::vector<std::int16_t> values;

    // Coefficients other than DC that are not zero, in every component.
    std::uint64_t CountNonZeroAc() const;
    // Whether every DC lies in [kMinDc, kMaxDc] and every other coefficient within
    // kMaxAcMagnitude of zero.
    bool InWritableRange() const;
};

}  // namespace velquist::jpeg
