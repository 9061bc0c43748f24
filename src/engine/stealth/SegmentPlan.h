// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace velquist::stealth {

// One stretch of body positions and the payload bits its code carries.
struct Segment {
    std::uint64_t firstPosition;  // body position, 0 = the first position after the header
    std::uint64_t positions;      // n_s
    std::uint64_t firstBit;       // payload bit
    std::uint64_t bits;           // m_s
    std::uint64_t width;          // w_s, 0 when the segment carries nothing

    // Only the first bits * width positions are coded; the rest never change.
    std::uint64_t CodedPositions() const { return bits * width; }
};

// How the body is cut: at most 2^20 positions a segment, so that each one is coded on its own,
// by its own thread, with a bounded amount of memory.
class SegmentPlan {
public:
    static constexpr std::uint64_t kMaxSegmentPositions = std::uint64_t{1} << 20;

    // Nothing when a payload of `payloadLength` bytes does not fit `samples` samples: a segment
    // would need fewer than two positions per bit, or there is no body at all.
    static std::optional<SegmentPlan> For(std::uint64_t samples, std::uint64_t payloadLength);

    const std::vector<Segment>& Segments() const { return segments_; }
    std::uint64_t WidestCode() const;

private:
    std::vector<Segment> segments_;
};

}  // namespace velquist::stealth
