// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/format/Outcome.h"

namespace velquist {

class Platform;

// The commands on a picture, each with its own failure text for a failed file operation.
enum class CarrierCommand { Inspect, Hide, Extract, Wipe };

// The window's fixed text for how `command` ended: the refusal, or the command's failure
// text for a failed file operation. Empty for Completed.
const char* OutcomePrompt(CarrierCommand command, const Outcome& outcome);

// The window's words for a cause a user can act on; null for any other cause.
const char* CauseText(FileCause cause);

// Shows the box an outcome gets in the window: the fixed prompt, style and title and, for a
// failed file operation, a second line naming the file and the cause. Completed shows
// nothing.
void ShowOutcome(Platform& platform, CarrierCommand command, const Outcome& outcome);

// "FILE：cause" for a failed file operation.
std::string CauseLine(const Outcome& outcome);

}  // namespace velquist
