// SPDX-License-Identifier: GPL-3.0-or-later
#include "Picture.h"

namespace velquist::detect {

Plane Picture::plane(int channel) const {
    Plane p{width, height, std::vector<int>(static_cast<std::size_t>(width) * height)};
    for (std::size_t i = 0; i < p.values.size(); ++i) p.values[i] = samples[3 * i + channel];
    return p;
}

Plane Picture::difference(int channel, int minus) const {
    Plane p{width, height, std::vector<int>(static_cast<std::size_t>(width) * height)};
    for (std::size_t i = 0; i < p.values.size(); ++i)
        p.values[i] = samples[3 * i + channel] - samples[3 * i + minus];
    return p;
}

}  // namespace velquist::detect
