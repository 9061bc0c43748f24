// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace velquist::detect {

// The area under the ROC curve of a score that should be larger for carriers: the chance that
// a random carrier scores above a random cover, ties counting one half. 0.5 is a coin toss.
double RocAuc(const std::vector<double>& covers, const std::vector<double>& carriers);

}  // namespace velquist::detect
