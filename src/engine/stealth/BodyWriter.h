// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/CostModel.h"
#include "engine/stealth/KeyedCover.h"
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

// Plans the changes that write a payload into the body. Each round steers every sample's
// change by the changes the round before planned around it, then codes every segment afresh
// from the untouched cover with those costs: any plan with the right syndromes is valid, so
// the rounds are free to move the changes until they cluster.
class BodyWriter {
public:
    BodyWriter(const PictureView& picture, const CostModel& model, unsigned threads)
        : picture_(picture), model_(model), threads_(threads) {}

    // Leaves -1, 0 or +1 per sample in `changes` (outside the body: 0) and, in `steering`, the
    // steering the last round coded with, which serves the header as well. Progress runs from
    // `from` to `to`.
    void Plan(const BodyLayout& body, int rounds, std::span<std::int8_t> changes,
              std::span<std::uint8_t> steering, ProgressReport& progress, double from,
              double to) const;

private:
    class SegmentWork;

    std::size_t Pixels() const;
    void Steer(std::span<const std::int8_t> changes, std::span<std::uint8_t> steering) const;

    const PictureView& picture_;
    const CostModel& model_;
    unsigned threads_;
};

}  // namespace velquist::stealth
