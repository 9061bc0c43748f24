// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "probes/Findings.h"

namespace velquist::probes {

// Reads an arbitrary file as a PNG carrier: parses and decodes it, holds the chunk list against
// the bytes, and re-encodes a usable picture with one sample changed by 1, which must parse as
// usable with the same IHDR and other chunks and decode to exactly the changed pixels.
class PngProbe {
public:
    Findings Run(std::span<const std::uint8_t> bytes);
};

}  // namespace velquist::probes
