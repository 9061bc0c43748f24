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

bool RawPicture::usable() const {
    return hasFields() && pixelOffset() >= 30 && pixelOffset() <= length();
}

bool RawPicture::holds(std::int64_t messageLength) const {
    std::int64_t groups = messageLength / 3 + (messageLength % 3 != 0);
    return usable() && 12 + 12 * groups <= length() - pixelOffset();
}

}  // namespace velquist::probes
