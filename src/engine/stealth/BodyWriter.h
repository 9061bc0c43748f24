// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/KeyedCover.h"
#include "engine/stealth/PixelCosts.h"
#include "engine/stealth/SegmentPlan.h"

namespace velquist::stealth {

class ProgressReport;

// What the body carries and where.
struct BodyLayout {
    const KeyedCover& cover;
    const SegmentPlan& segments;
    std::span<const std::uint8_t> columns;
    std::span<const std::uint8_t> payload;
};

// Plans which body samples flip, into `costs`. The first coding prices every change as if it
// were alone in its pixel. Then each round lowers the pixels' true cost (PixelCosts) without
// touching the payload: it codes the segments again from the plan, first with only the red and
// blue samples free to toggle, then with only green, the others held. Within such a pass a
// toggle's cost does not depend on any other toggle, so the trellis finds the cheapest set of
// toggles that keeps every payload bit, and the plan's cost never rises: lone changes in smooth
// colour become whole pixels, or move to where the colours are busy. (Each toggle of a whole
// pixel needs others to keep the syndrome, so on photographs the rounds lower the cost by a few
// to a quarter, not to what a code over whole pixels would reach.)
class BodyWriter {
public:
    BodyWriter(PixelCosts& costs, unsigned threads) : costs_(costs), threads_(threads) {}

    // Progress runs from `from` to `to`.
    void Plan(const BodyLayout& body, int rounds, ProgressReport& progress, double from,
              double to) const;

    // Which samples a pass may toggle, by offset in their pixel.
    enum class Free { All, RedAndBlue, Green };

private:
    class SegmentWork;

    PixelCosts& costs_;
    unsigned threads_;
};

}  // namespace velquist::stealth
