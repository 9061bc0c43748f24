// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/SegmentPlan.h"

#include <algorithm>

#include "engine/stealth/ParityHeader.h"

namespace velquist::stealth {

std::optional<SegmentPlan> SegmentPlan::For(std::uint64_t samples, std::uint64_t payloadLength) {
    if (samples <= ParityHeader::kPositions || payloadLength == 0) return std::nullopt;
    const std::uint64_t body = samples - ParityHeader::kPositions;
    const std::uint64_t bits = 8 * payloadLength;
    const std::uint64_t count = (body + kMaxSegmentPositions - 1) / kMaxSegmentPositions;
    SegmentPlan plan;
    plan.segments_.reserve(count);
    for (std::uint64_t s = 0; s < count; ++s) {
        Segment segment{};
        segment.firstPosition = s * body / count;
        segment.positions = (s + 1) * body / count - segment.firstPosition;
        segment.firstBit = s * bits / count;
        segment.bits = (s + 1) * bits / count - segment.firstBit;
        if (segment.bits > 0) {
            segment.width = segment.positions / segment.bits;
            if (segment.width < 2) return std::nullopt;
        }
        plan.segments_.push_back(segment);
    }
    return plan;
}

std::uint64_t SegmentPlan::WidestCode() const {
    std::uint64_t widest = 0;
    for (const Segment& segment : segments_) widest = std::max(widest, segment.width);
    return widest;
}

}  // namespace velquist::stealth
