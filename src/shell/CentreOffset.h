// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace velquist {

// Where a window of `windowSpan` starts so that it sits centred in `screenSpan` (both in
// twips): the difference rounded half to even, then halved toward zero. A window larger than
// the screen gets a negative offset and overlaps both edges equally.
std::int32_t CentreOffset(double screenSpan, double windowSpan);

}  // namespace velquist
