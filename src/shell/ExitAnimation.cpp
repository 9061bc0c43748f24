// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ExitAnimation.h"

#include <QWidget>
#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/Platform.h"
#include "ui/Twips.h"

namespace velquist {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPhase = std::chrono::milliseconds(250);
constexpr auto kStep = std::chrono::milliseconds(15);
constexpr double kLeastStepTwips = 10;
constexpr double kGoneTwips = 11;
constexpr double kStripTwips = 30;

}  // namespace

void ExitAnimation::Run(QWidget& window, Platform& platform) {
    Shrink(window, platform, Side::Height);
    SetOuter(window, Side::Height, kStripTwips);
    Shrink(window, platform, Side::Width);
}

void ExitAnimation::Shrink(QWidget& window, Platform& platform, Side side) {
    const double start = Outer(window, side);
    const auto steps = static_cast<long>(Twips::RoundHalfEven(start / 2));
    const Clock::time_point begun = Clock::now();
    for (long i = 1; i <= steps; ++i) {
        platform.Yield();
        std::this_thread::sleep_until(begun + i * kStep);
        const double share =
            std::min(1.0, std::chrono::duration<double>(Clock::now() - begun) / kPhase);
        // The size is read back each step: the window system may round it or hold a minimum.
        const double current = Outer(window, side);
        SetOuter(window, side, std::min(current - kLeastStepTwips, start * (1 - share)));
        if (Outer(window, side) <= kGoneTwips || share >= 1) return;
    }
}

double ExitAnimation::Outer(const QWidget& window, Side side) {
    const QSizeF outer = Twips::OuterSize(window);
    return side == Side::Height ? outer.height() : outer.width();
}

void ExitAnimation::SetOuter(QWidget& window, Side side, double twips) {
    // A client area of no pixels is unmapped by a window manager, and the narrowing would go
    // unseen: at least one row and one column of it stay.
    const QRect frame = window.frameGeometry();
    if (side == Side::Height) {
        const int pixels = Twips::ToPixels(std::max(0.0, twips), Twips::PerPixelY(window));
        window.resize(window.width(), std::max(1, pixels - (frame.height() - window.height())));
    } else {
        const int pixels = Twips::ToPixels(std::max(0.0, twips), Twips::PerPixelX(window));
        window.resize(std::max(1, pixels - (frame.width() - window.width())), window.height());
    }
}

}  // namespace velquist
