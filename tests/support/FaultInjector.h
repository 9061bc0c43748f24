// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/NumberedFiles.h"

namespace velquist::testing {

// Counts the file operations of a run and fails the k-th one (k = 0: none fails).
struct FaultAt {
    int k = 0;
    int seen = 0;
    bool fired = false;
    bool operator()(FileOp, int) {
        fired |= ++seen == k;
        return seen == k;
    }
};

// Arms `files` to fail its k-th operation from now on; the counter tells what happened.
inline std::shared_ptr<FaultAt> InjectFaultAt(NumberedFiles& files, int k) {
    auto fault = std::make_shared<FaultAt>(FaultAt{k});
    files.SetFaultHook([fault](FileOp op, int number) { return (*fault)(op, number); });
    return fault;
}

}  // namespace velquist::testing
