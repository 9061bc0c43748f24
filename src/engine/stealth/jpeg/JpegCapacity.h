// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "engine/stealth/jpeg/JpegView.h"

namespace velquist::stealth {

// How much a JPEG takes. Detectors of JPEG steganography are measured per non-zero AC
// coefficient (zeros and DC coefficients carry almost nothing unseen), so the sizes follow that
// count, within the format's own limit of two cover positions a payload bit: safe within 0.1 bits
// per non-zero AC coefficient, at most 0.4.
class JpegCapacity {
public:
    struct Counts {
        std::uint64_t samples = 0;    // coefficients in the cover sequence
        std::uint64_t nonZeroAc = 0;  // of all components, before any hide
    };

    static Counts CountsOf(const JpegView& view);

    // The largest and the safe payload length L; 0 when none fits.
    static std::uint64_t LargestPayload(const Counts& counts);
    static std::uint64_t SafePayload(const Counts& counts);
    // The largest and the safe file under a name of `nameLength` bytes; nothing when not even an
    // empty file fits.
    static std::optional<std::uint64_t> LargestFile(const Counts& counts, std::uint64_t nameLength = 0);
    static std::optional<std::uint64_t> SafeFile(const Counts& counts, std::uint64_t nameLength = 0);
};

}  // namespace velquist::stealth
