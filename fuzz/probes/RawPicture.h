// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velquist::probes {

// A picture's header fields read straight from its bytes, apart from the engine's own reader,
// so that the probes can hold the engine against a second opinion.
class RawPicture {
public:
    explicit RawPicture(std::span<const std::uint8_t> bytes);

    std::int64_t length() const { return static_cast<std::int64_t>(bytes_.size()); }
    // Long enough for the marker word, the pixel-data offset and the bit count.
    bool hasFields() const { return length() >= 30; }
    std::uint32_t marker() const { return U32(6); }
    std::int32_t pixelOffset() const { return static_cast<std::int32_t>(U32(10)); }
    std::uint32_t infoSize() const { return U32(14); }
    std::int32_t width() const { return static_cast<std::int32_t>(U32(18)); }
    std::int32_t height() const { return static_cast<std::int32_t>(U32(22)); }
    std::int16_t bitCount() const;
    // The compression field, 0 when the info header is too short to hold it.
    std::uint32_t compression() const;
    // "BM", an info header inside the file, and a pixel-data offset after the headers, inside
    // the file and below 2^31 - 1.
    bool usable() const;
    // Usable, with the bit count inside the info header, 24 bits and no compression.
    bool uncompressed24() const;
    // A message of `length` bytes, with its header group, lies inside the file.
    bool holds(std::int64_t messageLength) const;
    // Bytes from the pixel-data offset to the end of the pixel array or of the file,
    // whichever comes first; 0 for a picture that is no uncompressed 24-bit one.
    std::int64_t pixelArray() const;
    // A new hide of `length` bytes, with its header group, lies inside the pixel array.
    bool takes(std::int64_t messageLength) const;
    std::uint8_t At(std::int64_t offset) const { return bytes_.at(static_cast<std::size_t>(offset)); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::uint32_t U32(std::size_t offset) const;

    std::vector<std::uint8_t> bytes_;
};

}  // namespace velquist::probes
