// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/JpegCostModel.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace velquist::stealth {

JpegCostModel::JpegCostModel(JpegCostOptions options) : options_(options) {
    if (!(options_.chroma > 0)) throw std::invalid_argument("the chroma weight must be positive");
}

void JpegCostModel::Fill(const JpegView& view, std::span<float> costs, unsigned threads) const {
    const std::vector<std::uint64_t> starts = view.ComponentStarts();
    for (std::size_t i = 0; i < view.components.size(); ++i) {
        const JpegComponent& component = view.components[i];
        const std::span<float> own = costs.subspan(starts[i], starts[i + 1] - starts[i]);
        FillComponent(component, own, threads);
        if (i > 0 && options_.chroma != 1.0f)
            for (float& cost : own) cost *= options_.chroma;
        for (std::uint64_t block = 0; block < component.Blocks(); ++block)
            if (component.Flat(block))
                std::fill_n(own.begin() + static_cast<std::ptrdiff_t>(block * JpegComponent::kBlock),
                            JpegComponent::kBlock, std::numeric_limits<float>::infinity());
    }
}

}  // namespace velquist::stealth
