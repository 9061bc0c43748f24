// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <string>

#include "engine/format/Outcome.h"

namespace velquist {

// The outcome of a failure no step expected, told as the user can act on it: no memory (or
// libsodium not starting), a version-3 payload that does not authenticate; anything else is a
// failure of the picture `picturePath` with no cause to name. `noMemory` is what running out
// of memory means where it happened: NoMemory while a password's key is derived,
// NoMemoryToWrite once the picture's samples are being changed or encoded.
Outcome OutcomeOfFailure(const std::exception_ptr& failure, const std::string& picturePath,
                         OutcomeKind noMemory = OutcomeKind::NoMemory);

}  // namespace velquist
