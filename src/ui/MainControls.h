// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "ui/ControlRow.h"

namespace velquist {

// The main window's controls in the window's control order, which is also the order in
// which the proportional layout walks them.
std::span<const ControlRow> MainControls();

// The main window's client area at design size, in twips.
inline constexpr int kMainDesignWidth = 7965;
inline constexpr int kMainDesignHeight = 6015;
inline constexpr std::int32_t kMainBackColour = 0x004040;

// Song typeface sizes of the main window.
inline constexpr double kControlPoints = 9.0;
inline constexpr double kWindowPoints = 10.5;

}  // namespace velquist
