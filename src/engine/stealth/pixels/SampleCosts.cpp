// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/SampleCosts.h"

#include <cmath>

namespace velquist::stealth {

const std::array<float, SampleCosts::kCodes>& SampleCosts::Table() {
    static const std::array<float, kCodes> table = [] {
        std::array<float, kCodes> values{};
        for (int code = 0; code < kCodes; ++code) {
            const double low = 1.0 + (code % 8) / 8.0;
            values[code] = static_cast<float>(std::ldexp(std::sqrt(low * (low + 0.125)), code / 8 - 16));
        }
        return values;
    }();
    return table;
}

}  // namespace velquist::stealth
