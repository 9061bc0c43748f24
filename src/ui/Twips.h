// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QSizeF>

class QWidget;

namespace velquist {

// The windows are designed in twips (1/1440 inch); Qt places widgets in pixels. A control
// keeps the exact twips it was last placed at, so the design numbers read back unchanged
// whatever the screen's DPI.
class Twips {
public:
    static double PerPixelX(const QWidget& widget);
    static double PerPixelY(const QWidget& widget);
    // Measurements round to the nearest whole number, halves to the even neighbour.
    static double RoundHalfEven(double value);

    static void Move(QWidget& control, const QRectF& twips);
    static QRectF Rect(const QWidget& control);
    static QSizeF ClientSize(const QWidget& window);
    // Frame and title bar included.
    static QSizeF OuterSize(const QWidget& window);
    static int ToPixels(double twips, double perPixel);
};

}  // namespace velquist
