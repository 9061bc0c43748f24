// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/jpeg/JpegLayout.h"

namespace velquist::jpeg {

// What the walk saw that only the judgement after it weighs: the kinds of picture that cannot
// carry, and the first fault in how the segments fit together (which counts once the picture
// is of a kind that can).
struct WalkNotes {
    int frames = 0;
    bool hierarchical = false;  // a DHP segment
    JpegDamage firstMisfit = JpegDamage::None;
};

// Reads `file` from the start to the end of image through ByteReader, filling `layout`'s
// segments, frame, components, tables and scans (each scan with the tables in force when it
// starts) and the components' steps. Returns the first fault in the bytes themselves, which
// stops the walk, or JpegDamage::None.
JpegDamage WalkMarkers(std::span<const std::uint8_t> file, JpegLayout& layout, WalkNotes& notes);

}  // namespace velquist::jpeg
