// SPDX-License-Identifier: GPL-3.0-or-later
#include "GroupedFolds.h"

#include <algorithm>
#include <map>
#include <string>

namespace velquist::detect {

std::vector<int> GroupedFolds(const std::vector<Crop>& crops, int folds) {
    std::map<std::string, int> sizes;
    for (const Crop& crop : crops) ++sizes[crop.photo];
    std::vector<std::pair<std::string, int>> photos(sizes.begin(), sizes.end());
    std::stable_sort(photos.begin(), photos.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<int> load(folds, 0);
    std::map<std::string, int> foldOf;
    for (const auto& [photo, size] : photos) {
        int lightest = static_cast<int>(std::min_element(load.begin(), load.end()) - load.begin());
        foldOf[photo] = lightest;
        load[lightest] += size;
    }
    std::vector<int> fold;
    for (const Crop& crop : crops) fold.push_back(foldOf[crop.photo]);
    return fold;
}

}  // namespace velquist::detect
