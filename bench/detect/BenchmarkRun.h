// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Eigen/Dense>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Corpus.h"
#include "Embedder.h"
#include "Options.h"
#include "Picture.h"
#include "PictureMeasures.h"

namespace velquist::detect {

// One run of the benchmark: the covers measured once, then for every chosen embedder and rate
// the carriers made from all covers, measured, and each detector's AUC printed as a row.
class BenchmarkRun {
public:
    BenchmarkRun(Options options, std::vector<Crop> crops);
    void run(std::ostream& out);

private:
    // The carriers' measures and the mean share of samples they changed.
    struct Carriers {
        std::vector<PictureMeasures> measures;
        double changed = 0.0;
    };

    void loadCovers();
    Carriers measureCarriers(const Embedder& embedder, std::uint64_t rowSeed, double rate) const;
    using Features = std::vector<double> PictureMeasures::*;
    std::vector<double> aucs(const std::vector<PictureMeasures>& carriers, std::uint64_t rowSeed) const;
    double ensembleAuc(const std::vector<PictureMeasures>& carriers, Features features, std::uint64_t rowSeed) const;
    std::vector<std::string> columns() const;

    Options options_;
    std::vector<Crop> crops_;
    std::vector<int> fold_;
    MeasureSet measures_;
    std::vector<Picture> covers_;
    std::vector<PictureMeasures> coverMeasures_;
};

}  // namespace velquist::detect
