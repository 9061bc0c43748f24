// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "engine/stealth/jpeg/JpegView.h"

namespace velquist::bench {

// The quantised coefficients a JPEG encoder would make of the photograph-like picture
// (Photograph): YCbCr, chroma averaged over 2 x 2 pixels (4:2:0), the 8 x 8 DCT and the
// standard tables at quality 75, for an even width and height. Stands in for a decoded camera
// JPEG; not copyable, since the view points into the planes.
struct PhotographJpeg {
    std::vector<std::vector<std::int16_t>> planes;
    stealth::JpegView view;

    PhotographJpeg(std::uint32_t width, std::uint32_t height);
    PhotographJpeg(const PhotographJpeg&) = delete;
    PhotographJpeg& operator=(const PhotographJpeg&) = delete;
};

}  // namespace velquist::bench
