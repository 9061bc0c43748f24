// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

class QPainter;

namespace velquist::Grad {

inline constexpr int kBandCount = 63;
// Each band is this much darker in every component than the one before it.
inline constexpr int kBandDarkening = 4;

// One filled rectangle of the gradient, in twips from the client area's top-left corner.
struct Band {
    int left, top, right, bottom;
    int red, green, blue;
    bool operator==(const Band&) const = default;
};

using Bands = std::array<Band, kBandCount>;

// The 63 bands for a window of the given outer size (frame and title bar included), in twips,
// starting from the given colour: stacked downwards from the top when `fromTop`, otherwise
// upwards from the bottom. The caller's components are not changed.
Bands GradPaint(int outerHeight, int outerWidth, int red, int green, int blue, bool fromTop);

// Fills the bands onto a surface whose pixels measure the given twips.
void PaintBands(QPainter& painter, const Bands& bands, double twipsPerPixelX,
                double twipsPerPixelY);

}  // namespace velquist::Grad
