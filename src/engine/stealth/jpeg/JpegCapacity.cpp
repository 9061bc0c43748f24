// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/JpegCapacity.h"

#include <algorithm>

#include "engine/stealth/MessagePieces.h"
#include "engine/stealth/StealthCapacity.h"

namespace velquist::stealth {

namespace {

// 8 L <= 0.4 and 0.1 bits times the count.
constexpr std::uint64_t kLargestDivisor = 20;
constexpr std::uint64_t kSafeDivisor = 80;

std::optional<std::uint64_t> FileWithin(std::uint64_t payload, std::uint64_t nameLength) {
    const std::int64_t plain = pieces::LongestPlain(payload);
    const auto prefix = static_cast<std::int64_t>(2 + nameLength);
    if (plain < prefix) return std::nullopt;
    return static_cast<std::uint64_t>(plain - prefix);
}

}  // namespace

JpegCapacity::Counts JpegCapacity::CountsOf(const JpegView& view) {
    Counts counts{view.SampleCount(), 0};
    for (const JpegComponent& c : view.components)
        for (std::size_t i = 0; i < c.coefficients.size(); ++i)
            counts.nonZeroAc += i % JpegComponent::kBlock != 0 && c.coefficients[i] != 0;
    return counts;
}

std::uint64_t JpegCapacity::LargestPayload(const Counts& counts) {
    return std::min(StealthCapacity::LargestPayload(counts.samples), counts.nonZeroAc / kLargestDivisor);
}

std::uint64_t JpegCapacity::SafePayload(const Counts& counts) {
    return std::min(StealthCapacity::LargestPayload(counts.samples), counts.nonZeroAc / kSafeDivisor);
}

std::optional<std::uint64_t> JpegCapacity::LargestFile(const Counts& counts, std::uint64_t nameLength) {
    return FileWithin(LargestPayload(counts), nameLength);
}

std::optional<std::uint64_t> JpegCapacity::SafeFile(const Counts& counts, std::uint64_t nameLength) {
    return FileWithin(SafePayload(counts), nameLength);
}

}  // namespace velquist::stealth
