// SPDX-License-Identifier: GPL-3.0-or-later
#include "Corpus.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace velquist::detect {

std::vector<Crop> ReadCorpus(const std::string& folder) {
    std::ifstream manifest(folder + "/manifest.tsv");
    if (!manifest) throw std::runtime_error(folder + "/manifest.tsv: cannot be read (run make-corpus)");
    std::vector<Crop> crops;
    std::string line;
    std::getline(manifest, line);  // column names
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string name, photo;
        if (!std::getline(fields, name, '\t') || !std::getline(fields, photo, '\t')) continue;
        crops.push_back({folder + "/crops/" + name, photo});
    }
    if (crops.empty()) throw std::runtime_error(folder + "/manifest.tsv: lists no crops");
    return crops;
}

std::vector<Crop> EveryNth(const std::vector<Crop>& crops, int step) {
    std::vector<Crop> kept;
    for (std::size_t i = 0; i < crops.size(); i += step) kept.push_back(crops[i]);
    return kept;
}

int CountPhotos(const std::vector<Crop>& crops) {
    std::set<std::string> photos;
    for (const Crop& crop : crops) photos.insert(crop.photo);
    return static_cast<int>(photos.size());
}

}  // namespace velquist::detect
