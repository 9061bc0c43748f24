// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "probes/Findings.h"
#include "support/MemoryFiles.h"

namespace velquist::probes {

// Inspects an arbitrary file as the window does when a picture is opened: reads the carrier
// header, the file-name-safe extension, the stored password and whether the stored length
// fits, and checks every answer against the raw bytes.
class InspectProbe {
public:
    Findings Run(std::span<const std::uint8_t> bytes);

private:
    testing::MemoryFiles files_;
};

}  // namespace velquist::probes
