// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace velquist {

class Platform;

// The goodbye of the exit button: the window rolls up to a strip, then narrows to nothing.
// Each phase takes about a quarter of a second however fast the machine is, and every step
// yields so the window keeps painting.
class ExitAnimation {
public:
    static void Run(QWidget& window, Platform& platform);

private:
    enum class Side { Height, Width };
    // Ends early once the side is down to 11 twips, or when its time is up.
    static void Shrink(QWidget& window, Platform& platform, Side side);
    static double Outer(const QWidget& window, Side side);
    static void SetOuter(QWidget& window, Side side, double twips);
};

}  // namespace velquist
