// SPDX-License-Identifier: GPL-3.0-or-later
#include "Options.h"

#include <algorithm>
#include <sstream>

namespace velquist::detect {

namespace {

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty()) items.push_back(item);
    return items;
}

bool AllKnown(const std::vector<std::string>& items, const std::vector<std::string>& known) {
    return !items.empty() && std::all_of(items.begin(), items.end(), [&](const std::string& item) {
        return std::find(known.begin(), known.end(), item) != known.end();
    });
}

bool ParseRates(const std::string& text, std::vector<double>& rates) {
    rates.clear();
    for (const std::string& item : SplitList(text)) {
        std::size_t used = 0;
        double rate = 0.0;
        try {
            rate = std::stod(item, &used);
        } catch (...) {
            return false;
        }
        if (used != item.size() || rate <= 0.0 || rate > 1.0) return false;
        rates.push_back(rate);
    }
    return !rates.empty();
}

bool ParseQualities(const std::string& text, std::vector<int>& qualities) {
    qualities.clear();
    for (const std::string& item : SplitList(text)) {
        if (item != "75" && item != "95") return false;
        qualities.push_back(std::stoi(item));
    }
    return !qualities.empty();
}

bool ParseCount(const std::string& text, int least, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size() && value >= least;
    } catch (...) {
        return false;
    }
}

}  // namespace

bool KnownEmbedder(const std::string& name) {
    if (std::find(kAllEmbedders.begin(), kAllEmbedders.end(), name) != kAllEmbedders.end()) return true;
    if (name == "lib") return true;
    const std::size_t colon = name.find(':');
    if (colon == std::string::npos) return false;
    const std::string kind = name.substr(0, colon);
    if (kind != "pixel" && kind != "hillcd" && kind != "lib") return false;
    try {
        std::size_t used = 0;
        const std::string rest = name.substr(colon + 1);
        const double weight = std::stod(rest, &used);
        if (weight < 0.0) return false;
        if (used == rest.size()) return true;
        // lib:W:R, R rounds.
        std::size_t counted = 0;
        return kind == "lib" && rest[used] == ':' && std::stoi(rest.substr(used + 1), &counted) >= 0 &&
               used + 1 + counted == rest.size();
    } catch (...) {
        return false;
    }
}

bool KnownJpegEmbedder(const std::string& name) {
    if (name == "3") return true;
    const std::size_t colon = name.find(':');
    if (std::find(kJpegCostModels.begin(), kJpegCostModels.end(), name.substr(0, colon)) == kJpegCostModels.end())
        return false;
    if (colon == std::string::npos) return true;
    const std::string weight = name.substr(colon + 1);
    if (weight == "y") return true;
    try {
        std::size_t used = 0;
        return std::stod(weight, &used) > 0.0 && used == weight.size();
    } catch (...) {
        return false;
    }
}

bool Options::wants(const std::string& detector) const {
    return std::find(detectors.begin(), detectors.end(), detector) != detectors.end();
}

std::string Usage() {
    return "Usage: velquist_detect_bench [options]\n"
           "  --corpus DIR        the folder make-corpus wrote (default build/detect-corpus)\n"
           "  --cli PATH          the velquist-cli that hides versions 1 to 3 (default: the one built beside)\n"
           "  --embedders LIST    of 1,2,3,uniform,hill (default: all); also lib (version 3 in process),\n"
           "                      lib:S[:R] (its costs' sharpness S, R rounds), pixel:W and hillcd:W\n"
           "                      (colour simulators, W the weight of the differences' costs)\n"
           "  --rates LIST        bits per colour sample (default 0.05,0.1,0.2,0.25,0.4)\n"
           "  --detectors LIST    of chi2,rs,spa,ws,spam,spam-cat,spam-cd (default: all)\n"
           "  --jpeg              the JPEG covers instead: embedders 3 (velquist-cli), uniform, uniform:y\n"
           "                      (luminance only), uniform:W (chroma costs x W) (default 3,uniform); rates\n"
           "                      in bits per non-zero AC coefficient (default 0.05,0.1,0.2,0.4); detectors dctr\n"
           "                      (the default) and dctr-c (with the chroma planes)\n"
           "  --qualities LIST    with --jpeg, of the corpus's 75,95 (default both)\n"
           "  --quick             every 4th crop, 15 learners on 60 features each, for tuning\n"
           "  --learners L        base learners of the ensemble (default 101)\n"
           "  --subspace D        features each learner sees (default 120; 250 with --jpeg)\n"
           "  --folds K           cross-validation folds, whole photographs each (default 5)\n"
           "  --threads N         (default 2)\n"
           "  --seed S            for the messages, the simulators and the ensemble (default 1)\n"
           "  --self-check        checks the detectors on synthetic pictures, then stops\n";
}

std::optional<Options> ParseOptions(int argc, char** argv, const std::string& defaultCli, std::string& error) {
    Options options;
    options.cli = defaultCli;
    bool learnersGiven = false, subspaceGiven = false, embeddersGiven = false, ratesGiven = false,
         detectorsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        std::optional<std::string> v;
        bool ok = true;
        if (arg == "--help") {
            error.clear();
            return std::nullopt;
        } else if (arg == "--quick") {
            options.quick = true;
        } else if (arg == "--self-check") {
            options.selfCheck = true;
        } else if (arg == "--jpeg") {
            options.jpeg = true;
        } else if (!(v = value())) {
            ok = false;
        } else if (arg == "--corpus") {
            options.corpus = *v;
        } else if (arg == "--cli") {
            options.cli = *v;
        } else if (arg == "--embedders") {
            options.embedders = SplitList(*v);
            ok = !options.embedders.empty();
            embeddersGiven = true;
        } else if (arg == "--detectors") {
            options.detectors = SplitList(*v);
            ok = !options.detectors.empty();
            detectorsGiven = true;
        } else if (arg == "--rates") {
            ok = ParseRates(*v, options.rates);
            ratesGiven = true;
        } else if (arg == "--qualities") {
            ok = ParseQualities(*v, options.qualities);
        } else if (arg == "--learners") {
            ok = ParseCount(*v, 1, options.learners);
            learnersGiven = true;
        } else if (arg == "--subspace") {
            ok = ParseCount(*v, 1, options.subspace);
            subspaceGiven = true;
        } else if (arg == "--folds") {
            ok = ParseCount(*v, 2, options.folds);
        } else if (arg == "--threads") {
            ok = ParseCount(*v, 1, options.threads);
        } else if (arg == "--seed") {
            int seed = 0;
            ok = ParseCount(*v, 0, seed);
            options.seed = static_cast<unsigned long long>(seed);
        } else {
            ok = false;
        }
        if (!ok) {
            error = "bad or incomplete option: " + arg;
            return std::nullopt;
        }
    }
    if (options.jpeg) {
        if (!embeddersGiven) options.embedders = {"3", "uniform"};
        if (!ratesGiven) options.rates = {0.05, 0.1, 0.2, 0.4};
        if (!detectorsGiven) options.detectors = {"dctr"};
        if (!subspaceGiven) options.subspace = 250;
    }
    const bool embeddersKnown = std::all_of(options.embedders.begin(), options.embedders.end(),
                                            options.jpeg ? KnownJpegEmbedder : KnownEmbedder);
    if (!embeddersKnown || !AllKnown(options.detectors, options.jpeg ? kJpegDetectors : kAllDetectors)) {
        error = std::string("unknown embedder or detector") + (options.jpeg ? " for JPEG covers" : "");
        return std::nullopt;
    }
    // A quarter of the crops trains a quarter as many pairs: smaller subspaces keep each
    // discriminant from fitting noise.
    if (options.quick && !learnersGiven) options.learners = 15;
    if (options.quick && !subspaceGiven) options.subspace = 60;
    return options;
}

}  // namespace velquist::detect
