#pragma once

#include "engine/PassContext.h"

namespace velquist {

// Hides the message file MsgPath in the carrier ImagePath, in place: header group, every
// group, and the marker word last, so that a carrier never claims a message it does not
// wholly hold. Reports completion or failure in a box; sets HiddenMark to 1 when done.
void EmbedMsg(PassContext& ctx);

}  // namespace velquist
