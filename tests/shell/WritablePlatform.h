// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace velquist::testing {

// A scripted platform whose program folder is a fresh, writable folder: start-up takes it as
// the output folder and creates no documents folder anywhere.
class WritablePlatform : public ScriptedPlatform {
public:
    WritablePlatform() { SetAppFolder(folder_.path()); }
    const std::string& Folder() const { return folder_.path(); }

private:
    TempDir folder_;
};

}  // namespace velquist::testing
