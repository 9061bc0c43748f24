// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CentreOffset.h"

#include "ui/Twips.h"

namespace velquist {

std::int32_t CentreOffset(double screenSpan, double windowSpan) {
    const auto difference =
        static_cast<std::int32_t>(Twips::RoundHalfEven(screenSpan - windowSpan));
    return difference / 2;
}

}  // namespace velquist
