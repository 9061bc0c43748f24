// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist::detect {

// h(p) in bits.
double BinaryEntropy(double p);

// The change rate in [0, 1/2] whose binary entropy is `bits` (0 to 1): the fewest changes
// per sample that carry that payload with an optimal code.
double InverseBinaryEntropy(double bits);

}  // namespace velquist::detect
