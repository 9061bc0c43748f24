// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace velquist::ExtendedAttributes {

// Copies every extended attribute of the open file `from` to the open file `to`: the access
// control list and the user's own attributes must all arrive, the system's security labels
// only where this user may set them (a new file otherwise gets the system's own). Throws
// FileError naming `path`, `number` and the attribute: AclNotKept for the access list (or
// any other system attribute), AttributesNotKept for the user's. `refused` (tests only)
// makes the system refuse an attribute as it refuses one that may not be set.
void Copy(int from, int to, const std::string& path, int number,
          const std::function<bool()>& refused);

}  // namespace velquist::ExtendedAttributes
