// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>
#include <cstdint>

#include "probes/JpegProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velquist::probes::JpegProbe probe;
    probe.Run({data, size}).AbortIfAny();
    return 0;
}
