// SPDX-License-Identifier: GPL-3.0-or-later
#include "CrossValidation.h"

#include "RocAuc.h"

namespace velquist::detect {

namespace {

Eigen::MatrixXd Rows(const Eigen::MatrixXd& all, const std::vector<int>& which) {
    Eigen::MatrixXd out(which.size(), all.cols());
    for (std::size_t i = 0; i < which.size(); ++i) out.row(i) = all.row(which[i]);
    return out;
}

}  // namespace

double CrossValidatedAuc(const Eigen::MatrixXd& covers, const Eigen::MatrixXd& carriers,
                         const std::vector<int>& fold, int folds, const EnsembleSettings& settings) {
    std::vector<double> coverVotes, carrierVotes;
    for (int f = 0; f < folds; ++f) {
        std::vector<int> train, test;
        for (std::size_t i = 0; i < fold.size(); ++i) (fold[i] == f ? test : train).push_back(static_cast<int>(i));
        if (test.empty() || train.empty()) continue;
        EnsembleSettings foldSettings = settings;
        foldSettings.seed = settings.seed * 31u + static_cast<std::uint64_t>(f);
        FldEnsemble ensemble = FldEnsemble::Train(Rows(covers, train), Rows(carriers, train), foldSettings);
        for (double v : ensemble.carrierVotes(Rows(covers, test))) coverVotes.push_back(v);
        for (double v : ensemble.carrierVotes(Rows(carriers, test))) carrierVotes.push_back(v);
    }
    return RocAuc(coverVotes, carrierVotes);
}

}  // namespace velquist::detect
