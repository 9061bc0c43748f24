// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/PngPixels.h"

namespace velquist::png {

bool PngPixels::Carries(std::size_t pixel) const {
    return channels != 4 || samples[pixel * 4 + 3] != 0;
}

std::size_t PngPixels::CountCarrying() const {
    std::size_t count = 0;
    for (std::size_t pixel = 0; pixel < pixelCount(); ++pixel) count += Carries(pixel) ? 1 : 0;
    return count;
}

std::vector<bool> PngPixels::CarryingMask() const {
    std::vector<bool> mask(pixelCount());
    for (std::size_t pixel = 0; pixel < mask.size(); ++pixel) mask[pixel] = Carries(pixel);
    return mask;
}

}  // namespace velquist::png
