// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Eigen/Dense>
#include <ostream>
#include <vector>

#include "Corpus.h"
#include "JpegEmbedder.h"
#include "Options.h"
#include "ResultTable.h"

namespace velquist::detect {

// The benchmark on JPEG covers: for each quality, the covers read and measured once, then for
// every chosen embedder and rate the carrier JPEGs made from all covers, decoded as a detector
// would decode them and measured, and each detector's AUC printed as a row.
class JpegBenchmarkRun {
public:
    explicit JpegBenchmarkRun(Options options) : options_(std::move(options)) {}
    void run(std::ostream& out);

private:
    // One feature matrix per chosen detector, a row per crop, and the mean share of non-zero AC
    // coefficients the carriers changed.
    struct Measured {
        std::vector<Eigen::MatrixXd> features;
        double changed = 0.0;
    };

    void runQuality(int quality, const ResultTable& table, std::ostream& out) const;
    std::vector<std::vector<double>> measure(const std::vector<std::uint8_t>& file, int quality) const;
    Measured measureCovers(const std::vector<Crop>& crops, int quality, std::vector<JpegCover>& covers) const;
    // Of the crops `used`, in that order.
    Measured measureCarriers(const JpegEmbedder& embedder, const std::vector<Crop>& crops,
                             const std::vector<JpegCover>& covers, const std::vector<int>& used, int quality,
                             double rate, std::uint64_t rowSeed) const;

    Options options_;
};

}  // namespace velquist::detect
