// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/Findings.h"

#include <cstdio>
#include <cstdlib>

namespace velquist::probes {

void Findings::Expect(bool holds, std::string_view what) {
    if (!holds) list_.emplace_back(what);
}

std::string Findings::str() const {
    std::string text;
    for (const auto& finding : list_) text += finding + "\n";
    return text;
}

void Findings::AbortIfAny() const {
    if (empty()) return;
    std::fputs(str().c_str(), stderr);
    std::abort();
}

}  // namespace velquist::probes
