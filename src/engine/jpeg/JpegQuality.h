// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace velquist::jpeg {

// The quality 1 to 100 whose standard luminance table, scaled as the common encoder scales it
// (5000 / q below 50, 200 - 2q from there, each step rounded and kept within 1 to 255), has
// the least summed distance to `steps` (natural order); the higher quality on a tie.
int EstimateQuality(const std::array<std::uint16_t, 64>& steps);

// At least a third of the steps are 1: true for the standard table from quality 98 up.
bool StepsMostlyOne(const std::array<std::uint16_t, 64>& steps);

}  // namespace velquist::jpeg
