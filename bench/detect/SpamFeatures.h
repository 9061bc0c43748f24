// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "Picture.h"

namespace velquist::detect {

// Second-order SPAM features (Pevny, Bas, Fridrich 2010) with T = 3: differences of
// neighbouring samples in eight directions, clipped to [-3, 3], modelled as second-order
// Markov chains. The 343 transition probabilities Pr(D3 = u | D2 = v, D1 = w) are averaged over
// the four straight directions and over the four diagonal ones: 686 features.
inline constexpr int kSpamTruncation = 3;
inline constexpr int kSpamValues = 2 * kSpamTruncation + 1;
inline constexpr int kSpamFeatures = 2 * kSpamValues * kSpamValues * kSpamValues;

std::vector<double> SpamFeatures(const Plane& plane);

}  // namespace velquist::detect
