// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist {

// A carrier's colour samples as format version 3 sees them, read out of the carrier open as
// file 1, and the way changed samples go back into it. Nothing but sample values ever changes.
class StealthPicture {
public:
    virtual ~StealthPicture() = default;
    virtual const stealth::SampleGeometry& Geometry() const = 0;
    virtual std::span<std::uint8_t> Samples() = 0;
    // Puts the samples at `changed` (ascending indices) back into the carrier and makes them
    // durable. Throws FileError.
    virtual void WriteBack(std::span<const std::uint32_t> changed) = 0;
};

}  // namespace velquist
