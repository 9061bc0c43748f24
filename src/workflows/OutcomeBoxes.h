// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/format/OutcomeWords.h"

namespace velquist {

class Platform;

// Shows the box an outcome gets in the window: the fixed prompt, style and title of its
// message and, for a failed file operation, a second line naming the file and the cause.
// Completed shows nothing.
void ShowOutcome(Platform& platform, CarrierCommand command, const Outcome& outcome);

}  // namespace velquist
