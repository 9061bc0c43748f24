// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "engine/stealth/pixels/CostModel.h"

namespace velquist::stealth {

class RandomBits;

// Which way each planned change goes, once the set of changed samples is final: the code only
// cares that a lowest bit flips, so +1 and -1 serve alike. All changed samples of a pixel go the
// same way, so the pixel brightens or darkens as a whole and its colour differences move as
// little as they can; the way is the one a sample at 0 or 255 must take, else the one most of
// its already decided left and upper neighbours' changes in the same planes favour, else a
// random one. 0 only goes up, 255 only down.
class ChangeDirections {
public:
    // `changes` is non-zero for each changed sample and gets +1 or -1; `ties` has one bit per
    // pixel.
    static void Choose(const PictureView& picture, const RandomBits& ties, std::span<std::int8_t> changes);
};

}  // namespace velquist::stealth
