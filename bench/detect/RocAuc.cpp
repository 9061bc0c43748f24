// SPDX-License-Identifier: GPL-3.0-or-later
#include "RocAuc.h"

#include <algorithm>
#include <utility>

namespace velquist::detect {

double RocAuc(const std::vector<double>& covers, const std::vector<double>& carriers) {
    // Mann-Whitney through ranks, with tied scores sharing their mean rank.
    std::vector<std::pair<double, bool>> all;
    for (double s : covers) all.emplace_back(s, false);
    for (double s : carriers) all.emplace_back(s, true);
    std::sort(all.begin(), all.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    double carrierRanks = 0.0;
    for (std::size_t i = 0; i < all.size();) {
        std::size_t j = i;
        while (j < all.size() && all[j].first == all[i].first) ++j;
        const double meanRank = 0.5 * static_cast<double>(i + 1 + j);
        for (std::size_t k = i; k < j; ++k)
            if (all[k].second) carrierRanks += meanRank;
        i = j;
    }
    const double m = static_cast<double>(carriers.size()), n = static_cast<double>(covers.size());
    return (carrierRanks - m * (m + 1) / 2.0) / (m * n);
}

}  // namespace velquist::detect
