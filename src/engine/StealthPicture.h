// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "engine/stealth/pixels/SampleGeometry.h"
#include "platform/FileService.h"

namespace velquist {

// A failure writing a picture anew beside itself: the old picture is left whole.
class RewriteError : public FileError {
public:
    explicit RewriteError(const FileError& failure) : FileError(failure) {}
};

// A carrier's colour samples as format version 3 sees them, decoded once from the carrier a
// command holds locked, and the way changed samples go back into it. Nothing but sample values
// ever changes.
class StealthPicture {
public:
    virtual ~StealthPicture() = default;
    virtual const stealth::SampleGeometry& Geometry() const = 0;
    virtual std::span<std::uint8_t> Samples() = 0;
    // Puts the samples at `changed` (ascending indices) back into the carrier and makes them
    // durable. Returns what the picture's file is now when it was written anew beside the old
    // one, nothing when it was changed in place. A picture written anew takes one name only, so
    // one with other names (hard links) is refused unless `allowOtherLinks`. Throws FileError, or
    // RewriteError when writing the picture anew failed.
    virtual std::optional<PathFacts> WriteBack(std::span<const std::uint32_t> changed,
                                               bool allowOtherLinks) = 0;
};

}  // namespace velquist
