// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "engine/history/BlockQuantisation.h"
#include "engine/history/Pixels.h"

namespace velquist::history {

// Whether a picture's pixels are those of a decoded JPEG, and the evidence. A message hidden
// by changes of one in such a picture is easy to find, so a no-trace hide refuses it.
struct JpegHistory {
    enum class Basis {
        // The colours decided: enough distinct colours, or too many the decoder cannot produce.
        Colours,
        // Grey, or too few colours to tell: the 8 x 8 blocks decided.
        Blocks,
    };

    bool found = false;
    Basis basis = Basis::Colours;
    // Share of the carrying pixels whose colour the JPEG decoder cannot produce.
    double impossibleShare = 0;
    // Distinct colours other than greys, and the share of them the decoder cannot produce.
    std::uint64_t distinctColours = 0;
    double impossibleColourShare = 0;
    // Measured only when the blocks decided.
    BlockFit blocks;
};

// Throws std::invalid_argument when the sizes of `pixels` disagree.
JpegHistory JudgeJpegHistory(const Pixels& pixels);

}  // namespace velquist::history
