// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace velquist::detect {

// The change probabilities of a payload-limited sender under additive costs, as an optimal
// code would realise them: p = e^(-l c) / (1 + e^(-l c)), with l chosen so the probabilities'
// binary entropies add up to `payloadBits`.
std::vector<double> ChangeProbabilities(const std::vector<double>& costs, double payloadBits);

}  // namespace velquist::detect
