// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>
#include <cstdint>

#include "probes/HideProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static velquist::probes::HideProbe probe;
    probe.Run({data, size}).AbortIfAny();
    return 0;
}
