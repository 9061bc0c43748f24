// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

namespace velquist::detect {

// Checks the detectors where a fault would skew the table without showing: estimators on
// synthetic pictures with a known payload, the chi-square tail, the AUC, the entropy bound and
// the ensemble on separable and on identical classes. Prints each check; the number failed.
int RunSelfCheck(std::ostream& out);

}  // namespace velquist::detect
