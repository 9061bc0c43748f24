// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/jpeg/JpegCoefficients.h"

namespace velquist::jpeg {

std::uint64_t JpegCoefficients::CountNonZeroAc() const {
    std::uint64_t count = 0;
    for (std::size_t block = 0; block < values.size(); block += 64)
        for (std::size_t k = 1; k < 64; ++k) count += values[block + k] != 0 ? 1 : 0;
    return count;
}

bool JpegCoefficients::InWritableRange() const {
    for (std::size_t block = 0; block < values.size(); block += 64) {
        if (values[block] < kMinDc || values[block] > kMaxDc) return false;
        for (std::size_t k = 1; k < 64; ++k)
            if (values[block + k] < -kMaxAcMagnitude || values[block + k] > kMaxAcMagnitude) return false;
    }
    return true;
}

}  // namespace velquist::jpeg
