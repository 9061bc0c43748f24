// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/KeyedCover.h"
#include "engine/stealth/SegmentPlan.h"

namespace velquist::stealth {

class Cover;
class ProgressReport;

// What the body carries and where.
struct BodyLayout {
    const KeyedCover& keyed;
    const SegmentPlan& segments;
    std::span<const std::uint8_t> columns;
    std::span<const std::uint8_t> payload;
};

// Plans which body samples flip, into the cover's plan. The first coding prices every flip as
// the cover prices it with nothing planned. Then each round runs the cover's refinement passes:
// each codes the segments again from the plan, with only the samples the pass frees able to
// toggle, and takes the cheapest toggles that keep every payload bit.
class BodyWriter {
public:
    BodyWriter(Cover& cover, unsigned threads) : cover_(cover), threads_(threads) {}

    // Progress runs from `from` to `to`. False when some segment cannot carry its bits without
    // changing a sample that may not change: the payload does not fit, and the plan is of no use.
    bool Plan(const BodyLayout& body, int rounds, ProgressReport& progress, double from,
              double to) const;

private:
    class SegmentWork;

    Cover& cover_;
    unsigned threads_;
};

}  // namespace velquist::stealth
