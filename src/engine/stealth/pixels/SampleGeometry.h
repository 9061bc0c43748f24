// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velquist::stealth {

enum class Plane : std::uint8_t { Red, Green, Blue };

// Where one sample of the cover sequence lies in the picture; y counts from the top row.
struct SamplePlace {
    std::uint32_t x;
    std::uint32_t y;
    Plane plane;

    bool operator==(const SamplePlace&) const = default;
};

// Which pixel and colour each sample of a picture's cover sequence is. A BMP's sequence is its
// pixel array as stored (B, G, R per pixel, row padding left out); a PNG's is its rows from the
// top (R, G, B per pixel), without the pixels that are fully transparent.
class SampleGeometry {
public:
    static constexpr std::uint64_t kNoSample = ~std::uint64_t{0};

    static SampleGeometry Bmp(std::uint32_t width, std::uint32_t height, bool bottomUp);
    // `carries` has one entry per pixel, rows from the top; empty when every pixel carries.
    // Throws std::invalid_argument when it has another length.
    static SampleGeometry Png(std::uint32_t width, std::uint32_t height,
                              std::vector<bool> carries = {});

    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    std::uint64_t SampleCount() const { return samples_; }

    // The first of the pixel's three samples, or kNoSample for a pixel that carries none.
    std::uint64_t FirstSample(std::uint32_t x, std::uint32_t y) const {
        if (!before_.empty()) {
            std::size_t pixel = static_cast<std::size_t>(y) * width_ + x;
            return before_[pixel + 1] == before_[pixel] ? kNoSample : 3 * std::uint64_t{before_[pixel]};
        }
        std::uint64_t row = bottomUp_ ? height_ - 1 - y : y;
        return 3 * (row * width_ + x);
    }
    // FirstSample of each pixel of row y, into `firsts` (Width() entries): a row at a time for
    // the passes that walk the whole picture.
    void RowSamples(std::uint32_t y, std::span<std::uint64_t> firsts) const;
    // How far into a pixel's three samples the plane lies.
    unsigned PlaneOffset(Plane plane) const {
        unsigned rgb = static_cast<unsigned>(plane);
        return bgr_ ? 2 - rgb : rgb;
    }
    std::optional<std::uint64_t> SampleAt(std::uint32_t x, std::uint32_t y, Plane plane) const;
    // Throws std::out_of_range for a sample past the end.
    SamplePlace PlaceOf(std::uint64_t sample) const;

private:
    SampleGeometry(std::uint32_t width, std::uint32_t height, bool bottomUp, bool bgr)
        : width_(width), height_(height), bottomUp_(bottomUp), bgr_(bgr),
          samples_(3 * std::uint64_t{width} * height) {}

    std::uint32_t width_;
    std::uint32_t height_;
    bool bottomUp_;
    bool bgr_;
    std::uint64_t samples_;
    // For a PNG with transparent pixels: before_[p] pixels that carry come before pixel p
    // (w * h + 1 entries).
    std::vector<std::uint32_t> before_;
};

}  // namespace velquist::stealth
