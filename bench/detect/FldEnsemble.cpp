// SPDX-License-Identifier: GPL-3.0-or-later
#include "FldEnsemble.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <utility>

#include "ParallelFor.h"

namespace velquist::detect {

namespace {

std::vector<int> RandomSubspace(int dimension, int size, std::mt19937_64& random) {
    std::vector<int> all(dimension);
    std::iota(all.begin(), all.end(), 0);
    size = std::min(size, dimension);
    for (int i = 0; i < size; ++i) {
        std::uniform_int_distribution<int> pick(i, dimension - 1);
        std::swap(all[i], all[pick(random)]);
    }
    all.resize(size);
    std::sort(all.begin(), all.end());
    return all;
}

Eigen::MatrixXd Gather(const Eigen::MatrixXd& rows, const std::vector<int>& which,
                       const std::vector<int>& columns) {
    Eigen::MatrixXd out(which.size(), columns.size());
    for (std::size_t i = 0; i < which.size(); ++i)
        for (std::size_t j = 0; j < columns.size(); ++j) out(i, j) = rows(which[i], columns[j]);
    return out;
}

// Fisher's direction: the within-class scatter's inverse applied to the difference of the
// class means. Constant features make the scatter singular; a small ridge, grown until the
// factorisation is well conditioned, takes care of them.
Eigen::VectorXd FisherDirection(const Eigen::MatrixXd& covers, const Eigen::MatrixXd& carriers) {
    const Eigen::RowVectorXd coverMean = covers.colwise().mean();
    const Eigen::RowVectorXd carrierMean = carriers.colwise().mean();
    const Eigen::MatrixXd c = covers.rowwise() - coverMean;
    const Eigen::MatrixXd s = carriers.rowwise() - carrierMean;
    Eigen::MatrixXd scatter = c.transpose() * c + s.transpose() * s;
    const double scale = std::max(scatter.diagonal().mean(), 1e-300);
    const Eigen::VectorXd difference = (carrierMean - coverMean).transpose();
    for (double ridge = 1e-10;; ridge *= 10.0) {
        Eigen::MatrixXd regular = scatter;
        regular.diagonal().array() += ridge * scale;
        Eigen::LLT<Eigen::MatrixXd> factor(regular);
        if (factor.info() == Eigen::Success && (factor.rcond() > 1e-12 || ridge >= 1.0))
            return factor.solve(difference);
    }
}

// The threshold between projections that leaves the fewest training errors.
double BestThreshold(const Eigen::VectorXd& covers, const Eigen::VectorXd& carriers) {
    std::vector<std::pair<double, bool>> all;
    for (double v : covers) all.emplace_back(v, false);
    for (double v : carriers) all.emplace_back(v, true);
    std::sort(all.begin(), all.end());
    // Threshold below everything: every carrier right, every cover wrong.
    long long errors = static_cast<long long>(covers.size()), best = errors;
    double threshold = all.front().first - 1.0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        errors += all[i].second ? 1 : -1;
        const bool boundary = i + 1 == all.size() || all[i + 1].first != all[i].first;
        if (boundary && errors < best) {
            best = errors;
            threshold = i + 1 == all.size() ? all[i].first + 1.0 : 0.5 * (all[i].first + all[i + 1].first);
        }
    }
    return threshold;
}

}  // namespace

FldEnsemble::Learner FldEnsemble::TrainLearner(const Eigen::MatrixXd& covers, const Eigen::MatrixXd& carriers,
                                               int subspace, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    Learner learner;
    learner.features = RandomSubspace(static_cast<int>(covers.cols()), subspace, random);
    const int pairs = static_cast<int>(covers.rows());
    std::uniform_int_distribution<int> draw(0, pairs - 1);
    std::vector<int> sample(pairs);
    for (int& i : sample) i = draw(random);
    const Eigen::MatrixXd c = Gather(covers, sample, learner.features);
    const Eigen::MatrixXd s = Gather(carriers, sample, learner.features);
    learner.direction = FisherDirection(c, s);
    learner.threshold = BestThreshold(c * learner.direction, s * learner.direction);
    return learner;
}

FldEnsemble FldEnsemble::Train(const Eigen::MatrixXd& covers, const Eigen::MatrixXd& carriers,
                               const EnsembleSettings& settings) {
    FldEnsemble ensemble;
    ensemble.learners_.resize(settings.learners);
    ParallelFor(settings.learners, settings.threads, [&](int l) {
        ensemble.learners_[l] = TrainLearner(covers, carriers, settings.subspace,
                                             settings.seed * 1000003u + static_cast<std::uint64_t>(l));
    });
    return ensemble;
}

std::vector<double> FldEnsemble::carrierVotes(const Eigen::MatrixXd& features) const {
    std::vector<double> votes(features.rows(), 0.0);
    for (const Learner& learner : learners_)
        for (Eigen::Index i = 0; i < features.rows(); ++i) {
            double projection = 0.0;
            for (std::size_t j = 0; j < learner.features.size(); ++j)
                projection += features(i, learner.features[j]) * learner.direction[j];
            if (projection > learner.threshold) votes[i] += 1.0;
        }
    for (double& v : votes) v /= static_cast<double>(learners_.size());
    return votes;
}

}  // namespace velquist::detect
