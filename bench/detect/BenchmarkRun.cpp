// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchmarkRun.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "BmpFile.h"
#include "ChiSquareAttack.h"
#include "CliEmbedder.h"
#include "CrossValidation.h"
#include "GroupedFolds.h"
#include "HillSimulator.h"
#include "LibraryEmbedder.h"
#include "ParallelFor.h"
#include "PixelPatternSimulator.h"
#include "ResultTable.h"
#include "RocAuc.h"
#include "RsAnalysis.h"
#include "SamplePairAnalysis.h"
#include "SeedMix.h"
#include "UniformSimulator.h"
#include "WeightedStego.h"

namespace velquist::detect {

namespace {

std::unique_ptr<Embedder> MakeEmbedder(const std::string& name, const std::string& cli) {
    if (name == "uniform") return std::make_unique<UniformSimulator>();
    if (name == "hill") return std::make_unique<HillSimulator>();
    if (name == "lib") return std::make_unique<LibraryEmbedder>(std::nullopt, std::nullopt);
    if (name.starts_with("lib:")) {
        const std::size_t colon = name.find(':', 4);
        return std::make_unique<LibraryEmbedder>(std::stod(name.substr(4, colon - 4)),
                                                 colon == std::string::npos ? std::nullopt
                                                                            : std::optional(std::stoi(name.substr(colon + 1))));
    }
    if (name.starts_with("pixel:")) return std::make_unique<PixelPatternSimulator>(std::stod(name.substr(6)), true);
    if (name.starts_with("hillcd:")) return std::make_unique<PixelPatternSimulator>(std::stod(name.substr(7)), false);
    return std::make_unique<CliEmbedder>(cli, std::stoi(name));
}

MeasureSet MakeMeasures(const Options& options) {
    std::vector<std::unique_ptr<ScoreDetector>> detectors;
    if (options.wants("chi2")) detectors.push_back(std::make_unique<ChiSquareAttack>());
    if (options.wants("rs")) detectors.push_back(std::make_unique<RsAnalysis>());
    if (options.wants("spa")) detectors.push_back(std::make_unique<SamplePairAnalysis>());
    if (options.wants("ws")) detectors.push_back(std::make_unique<WeightedStego>());
    return MeasureSet(std::move(detectors), {options.wants("spam"), options.wants("spam-cat"), options.wants("spam-cd")});
}

Eigen::MatrixXd FeatureRows(const std::vector<PictureMeasures>& all, std::vector<double> PictureMeasures::*features) {
    Eigen::MatrixXd rows(all.size(), (all.front().*features).size());
    for (std::size_t i = 0; i < all.size(); ++i)
        rows.row(i) = Eigen::Map<const Eigen::RowVectorXd>((all[i].*features).data(), rows.cols());
    return rows;
}

std::vector<double> Column(const std::vector<PictureMeasures>& all, std::size_t detector) {
    std::vector<double> column;
    for (const PictureMeasures& m : all) column.push_back(m.scores[detector]);
    return column;
}

std::string RateText(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", rate);
    return text;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

BenchmarkRun::BenchmarkRun(Options options, std::vector<Crop> crops)
    : options_(std::move(options)),
      crops_(std::move(crops)),
      fold_(GroupedFolds(crops_, options_.folds)),
      measures_(MakeMeasures(options_)) {}

std::vector<std::string> BenchmarkRun::columns() const {
    std::vector<std::string> names;
    for (const auto& detector : measures_.detectors()) names.push_back(detector->name());
    if (measures_.spam().mean) names.push_back("SPAM");
    if (measures_.spam().concatenated) names.push_back("SPAM-cat");
    if (measures_.spam().differences) names.push_back("SPAM-cd");
    return names;
}

void BenchmarkRun::loadCovers() {
    covers_.resize(crops_.size());
    coverMeasures_.resize(crops_.size());
    ParallelFor(static_cast<int>(crops_.size()), options_.threads, [&](int i) {
        covers_[i] = ReadBmp(crops_[i].path);
        coverMeasures_[i] = measures_.measure(covers_[i]);
    });
}

// Throws std::runtime_error with the embedder's message when it cannot make a carrier.
BenchmarkRun::Carriers BenchmarkRun::measureCarriers(const Embedder& embedder, std::uint64_t rowSeed,
                                                     double rate) const {
    std::vector<PictureMeasures> carriers(crops_.size());
    std::vector<double> changed(crops_.size());
    ParallelFor(static_cast<int>(crops_.size()), options_.threads, [&](int i) {
        std::string failure;
        std::optional<Picture> carrier =
            embedder.embed(crops_[i], covers_[i], rate, Mix(rowSeed ^ Mix(static_cast<std::uint64_t>(i))), failure);
        if (!carrier) throw std::runtime_error(failure);
        if (carrier->samples.size() != covers_[i].samples.size())
            throw std::runtime_error(crops_[i].path + ": the carrier's pixel array differs in size");
        carriers[i] = measures_.measure(*carrier);
        std::size_t count = 0;
        for (std::size_t s = 0; s < carrier->samples.size(); ++s) count += carrier->samples[s] != covers_[i].samples[s];
        changed[i] = static_cast<double>(count) / static_cast<double>(carrier->samples.size());
    });
    double mean = 0.0;
    for (double c : changed) mean += c / static_cast<double>(changed.size());
    return {std::move(carriers), mean};
}

double BenchmarkRun::ensembleAuc(const std::vector<PictureMeasures>& carriers, Features features,
                                 std::uint64_t rowSeed) const {
    const EnsembleSettings settings{options_.learners, options_.subspace, options_.threads, rowSeed};
    return CrossValidatedAuc(FeatureRows(coverMeasures_, features), FeatureRows(carriers, features), fold_,
                             options_.folds, settings);
}

std::vector<double> BenchmarkRun::aucs(const std::vector<PictureMeasures>& carriers, std::uint64_t rowSeed) const {
    std::vector<double> row;
    for (std::size_t d = 0; d < measures_.detectors().size(); ++d)
        row.push_back(RocAuc(Column(coverMeasures_, d), Column(carriers, d)));
    if (measures_.spam().mean) row.push_back(ensembleAuc(carriers, &PictureMeasures::spam, rowSeed));
    if (measures_.spam().concatenated) row.push_back(ensembleAuc(carriers, &PictureMeasures::spamCat, rowSeed));
    if (measures_.spam().differences) row.push_back(ensembleAuc(carriers, &PictureMeasures::spamCd, rowSeed));
    return row;
}

void BenchmarkRun::run(std::ostream& out) {
    const auto start = std::chrono::steady_clock::now();
    loadCovers();
    out << "Detectability: ROC AUC of covers against carriers, " << crops_.size() << " crops of "
        << CountPhotos(crops_) << " photographs";
    if (measures_.spam().mean || measures_.spam().concatenated || measures_.spam().differences)
        out << "; ensemble of " << options_.learners << " FLDs on " << options_.subspace
            << " of the 686 (SPAM-cat 2058) features, " << options_.folds << " folds by photograph";
    out << "\n(covers measured in " << static_cast<int>(SecondsSince(start)) << " s)\n";
    ResultTable table(out, {"embedder", "bits/sample"}, columns());
    table.printHeader();
    for (std::size_t e = 0; e < options_.embedders.size(); ++e) {
        std::unique_ptr<Embedder> embedder = MakeEmbedder(options_.embedders[e], options_.cli);
        for (std::size_t r = 0; r < options_.rates.size(); ++r) {
            const auto rowStart = std::chrono::steady_clock::now();
            const std::uint64_t rowSeed = Mix(options_.seed ^ Mix(e << 8 | r));
            Carriers carriers;
            try {
                carriers = measureCarriers(*embedder, rowSeed, options_.rates[r]);
            } catch (const std::exception& failure) {
                table.printUnavailable(embedder->name(), failure.what());
                break;  // the same failure would stop every rate
            }
            table.printRow({embedder->name(), RateText(options_.rates[r])}, aucs(carriers.measures, rowSeed),
                           carriers.changed, SecondsSince(rowStart));
        }
    }
    out << "total " << static_cast<int>(SecondsSince(start)) << " s\n";
}

}  // namespace velquist::detect
