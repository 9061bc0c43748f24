// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Twips.h"

#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace velquist {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr const char* kTwipsProperty = "twips";
constexpr const char* kPixelsProperty = "twipsPlacedAt";

}  // namespace

double Twips::PerPixelX(const QWidget& widget) { return kTwipsPerInch / widget.logicalDpiX(); }

double Twips::PerPixelY(const QWidget& widget) { return kTwipsPerInch / widget.logicalDpiY(); }

double Twips::RoundHalfEven(double value) { return std::nearbyint(value); }

int Twips::ToPixels(double twips, double perPixel) {
    return static_cast<int>(std::lround(twips / perPixel));
}

void Twips::Move(QWidget& control, const QRectF& twips) {
    const double px = PerPixelX(control);
    const double py = PerPixelY(control);
    const QRect pixels(ToPixels(twips.left(), px), ToPixels(twips.top(), py),
                       std::max(0, ToPixels(twips.width(), px)),
                       std::max(0, ToPixels(twips.height(), py)));
    control.setGeometry(pixels);
    control.setProperty(kTwipsProperty, twips);
    control.setProperty(kPixelsProperty, control.geometry());
}

QRectF Twips::Rect(const QWidget& control) {
    // The kept twips hold only while nothing else has moved the control since.
    if (control.property(kPixelsProperty).toRect() == control.geometry())
        return control.property(kTwipsProperty).toRectF();
    const QRect g = control.geometry();
    const double px = PerPixelX(control);
    const double py = PerPixelY(control);
    return QRectF(g.x() * px, g.y() * py, g.width() * px, g.height() * py);
}

QSizeF Twips::ClientSize(const QWidget& window) {
    return QSizeF(window.width() * PerPixelX(window), window.height() * PerPixelY(window));
}

QSizeF Twips::OuterSize(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    return QSizeF(frame.width() * PerPixelX(window), frame.height() * PerPixelY(window));
}

}  // namespace velquist
