#pragma once

#include "engine/Outcome.h"
#include "engine/PassContext.h"

namespace velquist {

// Gathers the hidden message of the carrier open as file 1 into the output open as file 2.
// MsgLen holds the message length. Leaves both files open for the caller either way.
Outcome ExtractMsg(PassContext& ctx);

}  // namespace velquist
