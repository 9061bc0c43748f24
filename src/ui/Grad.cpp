// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Grad.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

#include "ui/Twips.h"

namespace velquist::Grad {

namespace {

int Darken(int component) { return std::max(0, component - kBandDarkening); }

int Whole(double value) { return static_cast<int>(Twips::RoundHalfEven(value)); }

}  // namespace

Bands GradPaint(int outerHeight, int outerWidth, int red, int green, int blue, bool fromTop) {
    const int h = Whole(outerHeight / static_cast<double>(kBandCount));
    int y = fromTop ? 0 : outerHeight - h;
    const int x2 = outerWidth;
    Bands bands{};
    for (Band& band : bands) {
        band = Band{0, y, x2, y + h, red, green, blue};
        red = Darken(red);
        green = Darken(green);
        blue = Darken(blue);
        y = fromTop ? y + h : y - h;
    }
    return bands;
}

void PaintBands(QPainter& painter, const Bands& bands, double twipsPerPixelX,
                double twipsPerPixelY) {
    for (const Band& band : bands) {
        const int left = Twips::ToPixels(band.left, twipsPerPixelX);
        const int top = Twips::ToPixels(band.top, twipsPerPixelY);
        const int right = Twips::ToPixels(band.right, twipsPerPixelX);
        const int bottom = Twips::ToPixels(band.bottom, twipsPerPixelY);
        painter.fillRect(left, top, right - left, bottom - top,
                         QColor(band.red, band.green, band.blue));
    }
}

}  // namespace velquist::Grad
