// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velquist::probes {

// What a probe saw go wrong with one input, in words a developer can act on.
class Findings {
public:
    // `what` is only copied when the check fails: a probe makes dozens of checks per input.
    void Expect(bool holds, std::string_view what);
    bool empty() const { return list_.empty(); }
    std::string str() const;
    // Prints every finding and aborts, so that the fuzzer keeps the input as a crash.
    void AbortIfAny() const;

private:
    std::vector<std::string> list_;
};

}  // namespace velquist::probes
