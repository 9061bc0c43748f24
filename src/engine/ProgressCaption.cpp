#include "engine/ProgressCaption.h"

#include <cmath>

#include "engine/JobState.h"
#include "engine/MainWindowPort.h"

namespace velquist {

void ProgressCaption::GroupDone() {
    job_.Percent = std::trunc(static_cast<double>(job_.GroupNo) / job_.GroupCount * 100.0);
    if (job_.Percent == shown_) return;
    shown_ = job_.Percent;
    window_.SetPercentCaption(std::to_string(static_cast<long long>(job_.Percent)) + "%");
}

}  // namespace velquist
