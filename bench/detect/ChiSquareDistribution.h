// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist::detect {

// P(X >= x) for a chi-square variable X with `freedom` degrees of freedom.
double ChiSquareUpperTail(double x, int freedom);

}  // namespace velquist::detect
