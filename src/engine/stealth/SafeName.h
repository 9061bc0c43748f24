// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace velquist::stealth {

// The name an extracted file is written under, from the name a picture stores, which anyone
// who made the picture chose. Path separators ('/' and '\'), NUL and the other control
// characters (bytes 0x00-0x1F and 0x7F) are dropped, not replaced, so nothing of a path is left;
// then every leading '.' goes, so the file is never hidden nor a "." or ".."; then the name is
// cut to 255 bytes without splitting a UTF-8 character. A name with nothing left becomes
// "output.bin".
std::string SafeName(std::string_view stored);

}  // namespace velquist::stealth
