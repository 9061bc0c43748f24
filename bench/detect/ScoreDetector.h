// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "Picture.h"

namespace velquist::detect {

// A detector that needs no training: one score per picture, larger for a likelier carrier
// (an estimated payload or a probability of embedding).
class ScoreDetector {
public:
    virtual ~ScoreDetector() = default;
    virtual std::string name() const = 0;
    virtual double score(const Picture& picture) const = 0;
};

}  // namespace velquist::detect
