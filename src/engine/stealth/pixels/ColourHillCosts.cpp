// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/ColourHillCosts.h"

#include "engine/stealth/pixels/HillCost.h"

namespace velquist::stealth {

void ColourHillCosts::Fill(const PictureView& picture, PixelCosts& costs, unsigned threads) const {
    HillCost::Fill(picture, costs, weight_, threads);
}

}  // namespace velquist::stealth
