// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchPlatform.h"

#include <algorithm>

namespace velquist::bench {

void BenchPlatform::Yield() {
    ++yields;
    if (slicer_.Due()) ++slices;  // where the window would run its pending events
}

int BenchPlatform::ErrorBoxes() const {
    return static_cast<int>(std::count_if(boxes().begin(), boxes().end(),
                                          [](const Box& box) { return box.style == kStyleError; }));
}

}  // namespace velquist::bench
