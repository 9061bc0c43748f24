// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/JpegView.h"

#include <algorithm>
#include <stdexcept>

namespace velquist::stealth {

bool JpegComponent::Flat(std::uint64_t block) const {
    const auto coefficients = Block(block);
    return std::all_of(coefficients.begin() + 1, coefficients.end(), [](std::int16_t c) { return c == 0; });
}

std::uint64_t JpegView::SampleCount() const {
    return ComponentStarts().back();
}

std::vector<std::uint64_t> JpegView::ComponentStarts() const {
    std::vector<std::uint64_t> starts{0};
    for (const JpegComponent& c : components) starts.push_back(starts.back() + c.coefficients.size());
    return starts;
}

void JpegView::Check() const {
    if (components.size() != 1 && components.size() != 3)
        throw std::invalid_argument("a JPEG cover has 1 or 3 components");
    std::uint64_t samples = 0;
    for (const JpegComponent& c : components) {
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4)
            throw std::invalid_argument("sampling factors run from 1 to 4");
        const std::size_t size = c.coefficients.size();
        if (c.Blocks() == 0 || size % JpegComponent::kBlock != 0 || size / JpegComponent::kBlock != c.Blocks())
            throw std::invalid_argument("a component's coefficients are not its blocks'");
        if (std::find(c.steps.begin(), c.steps.end(), 0) != c.steps.end())
            throw std::invalid_argument("a quantisation step is 0");
        samples += c.coefficients.size();
    }
    if (samples >= std::uint64_t{1} << 32) throw std::invalid_argument("too many coefficients for one cover");
}

}  // namespace velquist::stealth
