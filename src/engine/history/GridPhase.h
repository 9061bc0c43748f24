// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/history/Pixels.h"

namespace velquist::history {

// Where a picture's 8 x 8 grid of strongest block edges starts: a JPEG cropped off its grid
// keeps its blocks, shifted, and their edges still step more than the picture's other
// neighbours do.
struct GridPhase {
    unsigned left = 0;
    unsigned top = 0;

    static GridPhase Find(const Pixels& pixels);
};

}  // namespace velquist::history
