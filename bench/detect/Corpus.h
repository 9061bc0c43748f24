// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace velquist::detect {

// One crop of the corpus and the photograph it was cut from.
struct Crop {
    std::string path;
    std::string photo;
};

// The crops listed in FOLDER/manifest.tsv, as make-corpus wrote them.
std::vector<Crop> ReadCorpus(const std::string& folder);

// Every `step`-th crop, for quick runs: still crops of every photograph, at most a few each.
std::vector<Crop> EveryNth(const std::vector<Crop>& crops, int step);

int CountPhotos(const std::vector<Crop>& crops);

}  // namespace velquist::detect
