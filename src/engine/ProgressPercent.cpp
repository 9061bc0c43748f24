// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ProgressPercent.h"

#include <cmath>

#include "engine/PassProgress.h"

namespace velquist {

double ProgressPercent::PercentAt(std::int64_t group) const {
    // Whole-number part of group / count * 100, in floating point.
    return std::trunc(static_cast<double>(group) / groupCount_ * 100.0);
}

void ProgressPercent::Update(std::int64_t done) {
    percent_ = PercentAt(done);
    progress_.Percent(static_cast<int>(percent_));
    // First guess at the next group with a larger percentage, then settle it exactly.
    std::int64_t next = static_cast<std::int64_t>((percent_ + 1.0) * groupCount_ / 100.0);
    if (next <= done) next = done + 1;
    while (next > done + 1 && PercentAt(next - 1) > percent_) --next;
    while (next <= groupCount_ && PercentAt(next) == percent_) ++next;
    nextChange_ = next;
}

}  // namespace velquist
