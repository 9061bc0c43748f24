// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "engine/PassProgress.h"

namespace velquist::testing {

// Keeps every report of a pass, in order.
class RecordingProgress : public PassProgress {
public:
    void Status(PassStatus s) override { status.push_back(s); }
    void Percent(int p) override { percent.push_back(p); }

    std::vector<PassStatus> status;
    std::vector<int> percent;
};

}  // namespace velquist::testing
