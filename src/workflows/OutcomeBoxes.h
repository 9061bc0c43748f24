// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/Outcome.h"

namespace velquist {

class Platform;

// The window's commands, each with its own failure text for a failed file operation.
enum class WindowCommand { Inspect, Hide, Extract, Wipe };

// Shows the box an outcome gets in the window: the fixed prompt, style and title of the
// refusal or failure and, for a failed file operation, a second line naming the file and the
// cause. Completed and Declined show nothing.
void ShowOutcome(Platform& platform, WindowCommand command, const Outcome& outcome);

// "FILE：cause" for a failed file operation.
std::string CauseLine(const Outcome& outcome);

}  // namespace velquist
