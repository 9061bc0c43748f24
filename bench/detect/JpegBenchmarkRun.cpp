// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegBenchmarkRun.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "CoefficientSimulator.h"
#include "CrossValidation.h"
#include "DctrFeatures.h"
#include "FileBytes.h"
#include "GroupedFolds.h"
#include "JpegCliEmbedder.h"
#include "JpegCodec.h"
#include "ParallelFor.h"
#include "SeedMix.h"
#include "UniformCoefficientCosts.h"

namespace velquist::detect {

namespace {

// A cost model of kJpegCostModels.
std::unique_ptr<CoefficientCosts> MakeCoefficientCosts(const std::string&) {
    return std::make_unique<UniformCoefficientCosts>();
}

std::unique_ptr<JpegEmbedder> MakeJpegEmbedder(const std::string& name, const std::string& cli) {
    if (name == "3") return std::make_unique<JpegCliEmbedder>(cli);
    const std::size_t colon = name.find(':');
    std::optional<double> chroma = 1.0;
    if (colon != std::string::npos) {
        const std::string weight = name.substr(colon + 1);
        chroma = weight == "y" ? std::nullopt : std::optional(std::stod(weight));
    }
    return std::make_unique<CoefficientSimulator>(MakeCoefficientCosts(name.substr(0, colon)), chroma);
}

std::string Text(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// rows[i][d], the features of crop i for detector d, as one matrix per detector.
std::vector<Eigen::MatrixXd> Matrices(const std::vector<std::vector<std::vector<double>>>& rows) {
    std::vector<Eigen::MatrixXd> matrices;
    for (std::size_t d = 0; d < rows.front().size(); ++d) {
        Eigen::MatrixXd& m = matrices.emplace_back(rows.size(), rows.front()[d].size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            m.row(static_cast<Eigen::Index>(i)) = Eigen::Map<const Eigen::RowVectorXd>(rows[i][d].data(), m.cols());
    }
    return matrices;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

std::vector<std::vector<double>> JpegBenchmarkRun::measure(const std::vector<std::uint8_t>& file, int quality) const {
    const std::vector<Plane> components = JpegCodec::DecodeComponents(file);
    const double step = DctrStep(quality);
    const std::vector<double> luminance = DctrFeatures(components.front(), step);
    std::vector<std::vector<double>> features;
    for (const std::string& detector : options_.detectors) {
        std::vector<double>& f = features.emplace_back(luminance);
        if (detector == "dctr-c")
            for (std::size_t c = 1; c < components.size(); ++c) {
                const std::vector<double> chroma = DctrFeatures(components[c], step);
                f.insert(f.end(), chroma.begin(), chroma.end());
            }
    }
    return features;
}

JpegBenchmarkRun::Measured JpegBenchmarkRun::measureCovers(const std::vector<Crop>& crops, int quality,
                                                           std::vector<JpegCover>& covers) const {
    covers.resize(crops.size());
    std::vector<std::vector<std::vector<double>>> rows(crops.size());
    ParallelFor(static_cast<int>(crops.size()), options_.threads, [&](int i) {
        covers[i].file = ReadFileBytes(crops[i].path);
        covers[i].coefficients = JpegCodec::ReadCoefficients(covers[i].file);
        rows[i] = measure(covers[i].file, quality);
    });
    return {Matrices(rows), 0.0};
}

// Throws std::runtime_error with the embedder's message when it cannot make a carrier.
JpegBenchmarkRun::Measured JpegBenchmarkRun::measureCarriers(const JpegEmbedder& embedder,
                                                             const std::vector<Crop>& crops,
                                                             const std::vector<JpegCover>& covers,
                                                             const std::vector<int>& used, int quality, double rate,
                                                             std::uint64_t rowSeed) const {
    std::vector<std::vector<std::vector<double>>> rows(used.size());
    std::vector<double> changed(used.size());
    ParallelFor(static_cast<int>(used.size()), options_.threads, [&](int k) {
        const int i = used[k];
        std::string failure;
        std::optional<std::vector<std::uint8_t>> carrier =
            embedder.embed(crops[i], covers[i], rate, Mix(rowSeed ^ Mix(static_cast<std::uint64_t>(i))), failure);
        if (!carrier) throw std::runtime_error(failure);
        const JpegCoefficients coefficients = JpegCodec::ReadCoefficients(*carrier);
        changed[k] = static_cast<double>(coefficients.changedFrom(covers[i].coefficients)) /
                     static_cast<double>(covers[i].coefficients.nonZeroAc());
        rows[k] = measure(*carrier, quality);
    });
    Measured measured{Matrices(rows), 0.0};
    for (double c : changed) measured.changed += c / static_cast<double>(changed.size());
    return measured;
}

void JpegBenchmarkRun::runQuality(int quality, const ResultTable& table, std::ostream& out) const {
    const auto start = std::chrono::steady_clock::now();
    std::vector<Crop> crops = ReadCorpus(options_.corpus + "/jpeg" + std::to_string(quality));
    if (options_.quick) crops = EveryNth(crops, 4);
    const std::vector<int> fold = GroupedFolds(crops, options_.folds);
    std::vector<JpegCover> covers;
    const Measured coverMeasures = measureCovers(crops, quality, covers);
    double nonZeroAc = 0.0;
    for (const JpegCover& cover : covers)
        nonZeroAc += static_cast<double>(cover.coefficients.nonZeroAc()) / static_cast<double>(covers.size());
    out << "quality " << quality << ": " << crops.size() << " crops of " << CountPhotos(crops) << " photographs, "
        << static_cast<long long>(nonZeroAc) << " non-zero AC coefficients a crop on average, covers measured in "
        << static_cast<int>(SecondsSince(start)) << " s\n"
        << std::flush;
    for (std::size_t e = 0; e < options_.embedders.size(); ++e) {
        std::unique_ptr<JpegEmbedder> embedder = MakeJpegEmbedder(options_.embedders[e], options_.cli);
        for (std::size_t r = 0; r < options_.rates.size(); ++r) {
            const auto rowStart = std::chrono::steady_clock::now();
            const std::uint64_t rowSeed =
                Mix(options_.seed ^ Mix(static_cast<std::uint64_t>(quality) << 16 | e << 8 | r));
            std::vector<int> used, usedFold;
            for (std::size_t i = 0; i < crops.size(); ++i)
                if (embedder->fits(covers[i], options_.rates[r])) {
                    used.push_back(static_cast<int>(i));
                    usedFold.push_back(fold[i]);
                }
            const std::string rate = Text("%g", options_.rates[r]);
            Measured carriers;
            try {
                if (used.empty()) throw std::runtime_error("no crop can carry this rate's payload");
                carriers = measureCarriers(*embedder, crops, covers, used, quality, options_.rates[r], rowSeed);
            } catch (const std::exception& failure) {
                // A refusal stops at the first crop, so trying the other rates costs little.
                table.printUnavailable(embedder->name(), rate + " bpnzac: " + failure.what());
                continue;
            }
            std::vector<double> aucs;
            const EnsembleSettings settings{options_.learners, options_.subspace, options_.threads, rowSeed};
            for (std::size_t d = 0; d < options_.detectors.size(); ++d)
                aucs.push_back(CrossValidatedAuc(coverMeasures.features[d](used, Eigen::all), carriers.features[d],
                                                 usedFold, options_.folds, settings));
            table.printRow({embedder->name(), std::to_string(quality), rate}, aucs, carriers.changed,
                           SecondsSince(rowStart));
            if (used.size() < crops.size())
                out << "    (on " << used.size() << " of " << crops.size()
                    << " crops: the others cannot carry the payload at this rate)\n";
        }
    }
}

void JpegBenchmarkRun::run(std::ostream& out) {
    const auto start = std::chrono::steady_clock::now();
    out << "Detectability of JPEG carriers: ROC AUC of covers against carriers; ensemble of " << options_.learners
        << " FLDs on " << options_.subspace << " of the 8000 DCTR (DCTR-c 24000) features, " << options_.folds
        << " folds by photograph; changed: coefficients changed per non-zero AC coefficient\n";
    std::vector<std::string> columns;
    for (const std::string& detector : options_.detectors) columns.push_back(detector == "dctr" ? "DCTR" : "DCTR-c");
    ResultTable table(out, {"embedder", "quality", "bpnzac"}, columns);
    table.printHeader();
    for (int quality : options_.qualities) runQuality(quality, table, out);
    out << "total " << static_cast<int>(SecondsSince(start)) << " s\n";
}

}  // namespace velquist::detect
