// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegCoefficients.h"

#include <stdexcept>

namespace velquist::detect {

std::int64_t JpegCoefficients::nonZeroAc() const {
    std::int64_t count = 0;
    for (const JpegComponent& component : components)
        for (std::size_t i = 0; i < component.values.size(); ++i)
            if (i % 64 != 0 && component.values[i] != 0) ++count;
    return count;
}

std::int64_t JpegCoefficients::changedFrom(const JpegCoefficients& other) const {
    if (other.components.size() != components.size())
        throw std::runtime_error("a carrier has other components than its cover");
    std::int64_t count = 0;
    for (std::size_t c = 0; c < components.size(); ++c) {
        const std::vector<std::int16_t>& a = components[c].values;
        const std::vector<std::int16_t>& b = other.components[c].values;
        if (a.size() != b.size()) throw std::runtime_error("a carrier has other blocks than its cover");
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) ++count;
    }
    return count;
}

}  // namespace velquist::detect
