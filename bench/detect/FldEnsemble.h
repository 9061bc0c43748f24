// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Eigen/Dense>
#include <cstdint>
#include <vector>

namespace velquist::detect {

struct EnsembleSettings {
    int learners = 101;  // L, odd so that a vote is never tied
    int subspace = 120;  // d_sub, features each learner sees
    int threads = 2;
    std::uint64_t seed = 1;
};

// The ensemble of Kodovsky, Fridrich and Holub (2012): L Fisher linear discriminants, each
// trained on a random subspace of the features and a bootstrap sample of the training pairs,
// with its threshold set for the fewest training errors; the learners' votes are pooled.
class FldEnsemble {
public:
    // Row i of `covers` and of `carriers` come from the same crop; bootstrap samples draw
    // such pairs, so a cover never trains without its carrier.
    static FldEnsemble Train(const Eigen::MatrixXd& covers, const Eigen::MatrixXd& carriers,
                             const EnsembleSettings& settings);

    // The fraction of learners that call each row a carrier.
    std::vector<double> carrierVotes(const Eigen::MatrixXd& features) const;

private:
    struct Learner {
        std::vector<int> features;
        Eigen::VectorXd direction;
        double threshold = 0.0;
    };
    static Learner TrainLearner(const Eigen::MatrixXd& covers, const Eigen::MatrixXd& carriers,
                                int subspace, std::uint64_t seed);

    std::vector<Learner> learners_;
};

}  // namespace velquist::detect
