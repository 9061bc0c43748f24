// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/HideOptions.h"
#include "engine/PassContext.h"
#include "engine/PictureRequest.h"
#include "engine/format/Outcome.h"

namespace velquist {

// A whole hide as HideJob runs it, with no questions between its steps: opens and locks the
// picture, checks under the lock that it is usable, holds no data and has room, and hides the
// message in it as `options` ask. Whatever goes wrong after the first write is retracted before
// it returns; the caller tells the user the outcome.
Outcome EmbedMsg(PassContext& ctx, const HideRequest& request, const HideOptions& options);

}  // namespace velquist
