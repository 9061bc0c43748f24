#pragma once

#include "engine/PassContext.h"

namespace velquist {

// Gathers the hidden message of the carrier open as file 1 into the output open as file 2.
// MsgLen holds the message length. Reports its own failure in a box and leaves both files
// open for the caller either way.
PassResult ExtractMsg(PassContext& ctx);

}  // namespace velquist
