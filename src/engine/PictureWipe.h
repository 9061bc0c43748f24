// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/PassContext.h"
#include "engine/PictureRequest.h"
#include "engine/format/Outcome.h"

namespace velquist {

// The wipe command: opens `picture` for writing and locks it once, from the check to the last
// byte wiped. A marker word's message is wiped in place (WipeCarrier); without one,
// `passphrase` is asked for and the version-3 message it opens is wiped in the very picture
// already open. NoData when there is nothing to wipe.
Outcome WipePicture(PassContext& ctx, const PictureRequest& picture,
                    const PassphraseSource& passphrase);

}  // namespace velquist
