// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ProgressPercent.h"

#include <cmath>

#include "engine/JobState.h"
#include "engine/PassProgress.h"

namespace velquist {

double ProgressPercent::PercentAt(std::int64_t group) const {
    // Whole-number part of group / count * 100, in floating point.
    return std::trunc(static_cast<double>(group) / job_.GroupCount * 100.0);
}

void ProgressPercent::Update() {
    job_.Percent = PercentAt(job_.GroupNo);
    progress_.Percent(static_cast<int>(job_.Percent));
    // First guess at the next group with a larger percentage, then settle it exactly.
    std::int64_t count = job_.GroupCount;
    std::int64_t next = static_cast<std::int64_t>((job_.Percent + 1.0) * count / 100.0);
    if (next <= job_.GroupNo) next = job_.GroupNo + 1;
    while (next > job_.GroupNo + 1 && PercentAt(next - 1) > job_.Percent) --next;
    while (next <= count && PercentAt(next) == job_.Percent) ++next;
    nextChange_ = next;
}

}  // namespace velquist
