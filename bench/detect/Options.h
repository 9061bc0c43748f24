// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velquist::detect {

// What one run measures, from its command line.
struct Options {
    std::string corpus = "build/detect-corpus";
    std::string cli;
    std::vector<std::string> embedders{"1", "2", "3", "uniform", "hill"};
    std::vector<double> rates{0.05, 0.1, 0.2, 0.25, 0.4};
    std::vector<std::string> detectors{"chi2", "rs", "spa", "ws", "spam", "spam-cat", "spam-cd"};
    // JPEG covers at these libjpeg qualities instead of the BMP crops.
    bool jpeg = false;
    std::vector<int> qualities{75, 95};
    bool quick = false;
    bool selfCheck = false;
    int learners = 101;
    int subspace = 120;
    int folds = 5;
    int threads = 2;
    unsigned long long seed = 1;

    bool wants(const std::string& detector) const;
};

inline const std::vector<std::string> kAllEmbedders{"1", "2", "3", "uniform", "hill"};
inline const std::vector<std::string> kAllDetectors{"chi2", "rs", "spa", "ws", "spam", "spam-cat", "spam-cd"};
inline const std::vector<std::string> kJpegDetectors{"dctr", "dctr-c"};

// One of kAllEmbedders, "lib", or one with a weight: "lib:W", "lib:W:R", "pixel:W", "hillcd:W".
bool KnownEmbedder(const std::string& name);

// The cost models a JPEG simulator can use.
inline const std::vector<std::string> kJpegCostModels{"uniform"};

// For JPEG covers: "3", or a simulator with one of kJpegCostModels: "uniform", "uniform:y"
// (luminance only) or "uniform:W" (chroma costs times W).
bool KnownJpegEmbedder(const std::string& name);

std::string Usage();

// The options, or nothing with `error` saying what is wrong (empty for --help).
std::optional<Options> ParseOptions(int argc, char** argv, const std::string& defaultCli, std::string& error);

}  // namespace velquist::detect
