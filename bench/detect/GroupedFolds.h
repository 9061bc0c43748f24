// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "Corpus.h"

namespace velquist::detect {

// The fold of each crop for cross-validation, whole photographs at a time so that no
// photograph has crops on both sides. Photographs go, largest first, to the fold with the
// fewest crops so far, which keeps the folds about even.
std::vector<int> GroupedFolds(const std::vector<Crop>& crops, int folds);

}  // namespace velquist::detect
