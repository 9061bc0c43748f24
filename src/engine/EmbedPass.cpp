// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/EmbedPass.h"

#include "engine/HideJob.h"

namespace velquist {

Outcome EmbedMsg(PassContext& ctx, const HideRequest& request, const HideOptions& options) {
    HideJob job(ctx, request);
    if (Outcome opened = job.Open(); !opened.completed()) return opened;
    return job.Run(options);
}

}  // namespace velquist
