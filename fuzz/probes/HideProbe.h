// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "probes/Findings.h"
#include "engine/HideOptions.h"
#include "support/MemoryFiles.h"

namespace velquist::probes {

// Hides a small fixed message with a password in an arbitrary file, then wipes it, and checks
// that a refused hide changes nothing, that an accepted one writes exactly the marker word,
// the header group and the groups that carry the message, and that the wipe leaves no
// message bit and no password behind while the rest of the picture stays as it was.
class HideProbe {
public:
    HideProbe();
    Findings Run(std::span<const std::uint8_t> bytes);

private:
    testing::MemoryFiles files_;
    // Made once: a password in guarded memory costs a handful of system calls to make and to
    // free, which per input would be most of what the target does.
    HideOptions options_;
};

}  // namespace velquist::probes
