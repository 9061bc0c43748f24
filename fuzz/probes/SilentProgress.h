// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/PassProgress.h"

namespace velquist::probes {

// A pass's reports, heard by nobody.
class SilentProgress : public PassProgress {
public:
    void Status(PassStatus) override {}
    void Percent(int) override {}
};

}  // namespace velquist::probes
