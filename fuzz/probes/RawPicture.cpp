// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/RawPicture.h"

namespace velquist::probes {

RawPicture::RawPicture(std::span<const std::uint8_t> bytes) : bytes_(bytes.begin(), bytes.end()) {}

std::uint32_t RawPicture::U32(std::size_t offset) const {
    if (!hasFields()) return 0;
    return static_cast<std::uint32_t>(bytes_[offset]) |
           static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
}

std::int16_t RawPicture::bitCount() const {
    if (!hasFields()) return 0;
    return static_cast<std::int16_t>(bytes_[28] | bytes_[29] << 8);
}

std::uint32_t RawPicture::compression() const {
    return usable() && infoSize() >= 40 ? U32(30) : 0;
}

bool RawPicture::usable() const {
    if (!hasFields() || bytes_[0] != 'B' || bytes_[1] != 'M') return false;
    std::int64_t info = infoSize();
    return info >= 12 && info <= length() - 14 && pixelOffset() >= 14 + info &&
           pixelOffset() <= length() && pixelOffset() < 0x7FFFFFFF;
}

bool RawPicture::uncompressed24() const {
    return usable() && infoSize() >= 16 && bitCount() == 24 && compression() == 0;
}

namespace {

std::int64_t PayloadBytes(std::int64_t messageLength) {
    return 12 + 12 * (messageLength / 3 + (messageLength % 3 != 0));
}

}  // namespace

bool RawPicture::holds(std::int64_t messageLength) const {
    return usable() && PayloadBytes(messageLength) <= length() - pixelOffset();
}

std::int64_t RawPicture::pixelArray() const {
    if (!uncompressed24() || width() <= 0) return 0;
    std::int64_t row = (std::int64_t{width()} * 3 + 3) / 4 * 4;
    std::int64_t rows = height() < 0 ? -std::int64_t{height()} : std::int64_t{height()};
    std::int64_t rest = length() - pixelOffset();
    std::int64_t array = 0;
    if (__builtin_mul_overflow(row, rows, &array) || array > rest) return rest;
    return array;
}

bool RawPicture::takes(std::int64_t messageLength) const {
    return PayloadBytes(messageLength) <= pixelArray();
}

}  // namespace velquist::probes
