// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "Picture.h"

namespace velquist::detect {

// The cost of changing each sample of a plane by one (Li, Wang, Huang, Tan 2014): the
// reciprocal of the 3 x 3 mean of the absolute high-pass residual (the KB kernel), spread by a
// 15 x 15 mean. Textured areas are cheap, smooth ones dear. Edges are mirrored.
std::vector<double> HillCost(const Plane& plane);

}  // namespace velquist::detect
