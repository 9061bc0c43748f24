// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "probes/Findings.h"

namespace velquist::probes {

// Reads an arbitrary file as a JPEG carrier: judges and decodes it, holds the segments and
// scans against the bytes, and rewrites a picture that decodes with one coefficient changed by
// 1, which must decode to exactly the changed coefficients with every segment but the Huffman
// tables as it was.
class JpegProbe {
public:
    Findings Run(std::span<const std::uint8_t> bytes);
};

}  // namespace velquist::probes
