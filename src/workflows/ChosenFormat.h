// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

class MainView;

// The carrier format the window's option boxes ask for: 1 without the password option or
// without encryption, 3 with encryption and no trace, 2 with encryption alone.
int ChosenFormat(const MainView& view);

}  // namespace velquist
