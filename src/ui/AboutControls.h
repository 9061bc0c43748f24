// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "ui/ControlRow.h"

namespace velquist {

// The About window's controls, containers listed before what they hold.
std::span<const ControlRow> AboutControls();

inline constexpr int kAboutClientWidth = 4425;
inline constexpr int kAboutClientHeight = 4380;
inline constexpr double kAboutPoints = 9.0;
// The link label's colours: blue at rest, red while the pointer is over it.
inline constexpr std::int32_t kLinkColour = 0x0000FF;
inline constexpr std::int32_t kLinkHoverColour = 0xFF0000;

}  // namespace velquist
