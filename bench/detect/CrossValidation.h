// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Eigen/Dense>
#include <vector>

#include "FldEnsemble.h"

namespace velquist::detect {

// The ensemble's held-out AUC: for each fold, an ensemble trained on the other folds' cover and
// carrier pairs votes on the fold's covers and carriers; the votes of all folds are pooled into
// one ROC curve.
double CrossValidatedAuc(const Eigen::MatrixXd& covers, const Eigen::MatrixXd& carriers,
                         const std::vector<int>& fold, int folds, const EnsembleSettings& settings);

}  // namespace velquist::detect
