// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Extraction.h"

namespace velquist {

OutputTarget Extraction::CheckOutput(const std::string& outFile) {
    OutputTarget target = CheckOutputTarget(ctx_.files, picture_.path, outFile);
    checkedOutput_ = outFile;
    agreed_ = target.standing;
    return target;
}

Outcome Extraction::CheckedOutput(const std::string& outFile) {
    // Without a check first, the same rules hold for what stands there now.
    if (checkedOutput_ == outFile) return Outcome::Of(OutcomeKind::Completed, outFile);
    return CheckOutput(outFile).verdict;
}

}  // namespace velquist
