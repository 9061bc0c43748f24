// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist {

class Platform;

// Where extracted files go at start-up, without a trailing separator except at the root: the
// program's own folder when the user may write there and it is not a system folder (under
// /usr or /opt); otherwise the user's documents folder, created when missing; failing that,
// the home folder.
std::string StartOutputFolder(Platform& platform);

}  // namespace velquist
