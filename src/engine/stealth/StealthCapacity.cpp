// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/StealthCapacity.h"

#include <algorithm>

#include "engine/stealth/MessagePieces.h"
#include "engine/stealth/ParityHeader.h"
#include "engine/stealth/SegmentPlan.h"

namespace velquist::stealth {

std::uint64_t StealthCapacity::PayloadLength(std::uint64_t plainLength) {
    return pieces::PayloadLength(plainLength);
}

std::uint64_t StealthCapacity::PayloadLength(std::uint64_t fileLength, std::uint64_t nameLength) {
    return pieces::PayloadLength(2 + nameLength + fileLength);
}

std::uint64_t StealthCapacity::LargestPayload(std::uint64_t samples) {
    if (samples <= ParityHeader::kPositions) return 0;
    // Every segment needs two positions a bit, so the body as a whole does too; the floors of
    // the cut leave the true limit at most a few bytes a segment below that.
    std::uint64_t length = std::min((samples - ParityHeader::kPositions) / 16, pieces::kMaxPayload);
    while (length > 0 && !SegmentPlan::For(samples, length)) --length;
    return length;
}

std::optional<std::uint64_t> StealthCapacity::LargestFile(std::uint64_t samples,
                                                          std::uint64_t nameLength) {
    return FileWithin(LargestPayload(samples), nameLength);
}

std::optional<std::uint64_t> StealthCapacity::SafeFile(std::uint64_t samples,
                                                       std::uint64_t nameLength) {
    return FileWithin(std::min(LargestPayload(samples), samples / 80), nameLength);
}

std::optional<std::uint64_t> StealthCapacity::FileWithin(std::uint64_t payload,
                                                         std::uint64_t nameLength) {
    const std::int64_t plain = pieces::LongestPlain(payload);
    const auto prefix = static_cast<std::int64_t>(2 + nameLength);
    if (plain < prefix) return std::nullopt;
    return static_cast<std::uint64_t>(plain - prefix);
}

}  // namespace velquist::stealth
