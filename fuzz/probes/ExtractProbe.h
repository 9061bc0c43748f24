// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "probes/Findings.h"
#include "support/MemoryFiles.h"

namespace velquist::probes {

// Takes out whatever an arbitrary file claims to hold, as the extract command does (output
// named after the stored extension, the version and password not asked), and checks that
// the carrier is untouched, that exactly the stored message or nothing at all is written,
// and that a refusal or failure is reported in one error box.
class ExtractProbe {
public:
    Findings Run(std::span<const std::uint8_t> bytes);

private:
    testing::MemoryFiles files_;
};

// The message a carrier's groups hold, decoded by the slow field routines byte after byte:
// a second opinion on the pass's table-driven decoding.
std::vector<std::uint8_t> DecodeByFields(const std::vector<std::uint8_t>& carrier,
                                         std::int64_t pixelOffset, std::int64_t length);

}  // namespace velquist::probes
