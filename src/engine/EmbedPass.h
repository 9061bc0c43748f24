// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/HideOptions.h"
#include "engine/PassContext.h"
#include "engine/format/Outcome.h"

namespace velquist {

// Hides the message file MsgPath in the carrier ImagePath, in place, as `options` ask,
// holding the carrier's lock throughout: header group, every group, a flush, then the marker
// word and another flush, so that a carrier never claims a message it does not wholly hold,
// even after a power cut. Checks again under the lock that the carrier is usable, holds no data
// and has room. Whatever goes wrong after the first write is retracted before it returns. Sets
// HiddenMark to 1 when done; the caller tells the user the outcome.
Outcome EmbedMsg(PassContext& ctx, const HideOptions& options);

}  // namespace velquist
