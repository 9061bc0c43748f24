// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/SampleGeometry.h"

#include <algorithm>
#include <stdexcept>

namespace velquist::stealth {

SampleGeometry SampleGeometry::Bmp(std::uint32_t width, std::uint32_t height, bool bottomUp) {
    return SampleGeometry(width, height, bottomUp, true);
}

SampleGeometry SampleGeometry::Png(std::uint32_t width, std::uint32_t height,
                                   std::vector<bool> carries) {
    SampleGeometry geometry(width, height, false, false);
    if (carries.empty()) return geometry;
    const std::uint64_t pixels = std::uint64_t{width} * height;
    if (carries.size() != pixels) throw std::invalid_argument("one carry flag per pixel");
    if (pixels >= 0xFFFFFFFFu) throw std::length_error("too many pixels for one picture");
    geometry.before_.resize(carries.size() + 1);
    std::uint32_t count = 0;
    for (std::size_t p = 0; p < carries.size(); ++p) {
        geometry.before_[p] = count;
        count += carries[p] ? 1 : 0;
    }
    geometry.before_.back() = count;
    geometry.samples_ = 3 * std::uint64_t{count};
    return geometry;
}

std::optional<std::uint64_t> SampleGeometry::SampleAt(std::uint32_t x, std::uint32_t y,
                                                      Plane plane) const {
    if (x >= width_ || y >= height_) return std::nullopt;
    std::uint64_t first = FirstSample(x, y);
    if (first == kNoSample) return std::nullopt;
    return first + PlaneOffset(plane);
}

void SampleGeometry::RowSamples(std::uint32_t y, std::span<std::uint64_t> firsts) const {
    if (!before_.empty()) {
        for (std::uint32_t x = 0; x < width_; ++x) firsts[x] = FirstSample(x, y);
        return;
    }
    const std::uint64_t start = FirstSample(0, y);
    for (std::uint32_t x = 0; x < width_; ++x) firsts[x] = start + 3 * std::uint64_t{x};
}

SamplePlace SampleGeometry::PlaceOf(std::uint64_t sample) const {
    if (sample >= samples_) throw std::out_of_range("no such sample");
    const unsigned offset = static_cast<unsigned>(sample % 3);
    const Plane plane = static_cast<Plane>(bgr_ ? 2 - offset : offset);
    std::uint64_t pixel = sample / 3;
    if (!before_.empty()) {
        // The carrying pixel numbered `pixel` is where the running count first passes it.
        auto after = std::upper_bound(before_.begin(), before_.end(), pixel);
        pixel = static_cast<std::uint64_t>(after - before_.begin()) - 1;
    }
    const auto x = static_cast<std::uint32_t>(pixel % width_);
    auto row = static_cast<std::uint32_t>(pixel / width_);
    return {x, bottomUp_ ? height_ - 1 - row : row, plane};
}

}  // namespace velquist::stealth
