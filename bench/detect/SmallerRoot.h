// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace velquist::detect {

// The root of a x^2 + b x + c = 0 nearer zero, which is where the structural estimators'
// payload lies. Without a real root the vertex -b / 2a is the closest fit.
inline double SmallerRoot(double a, double b, double c) {
    if (std::abs(a) < 1e-15) return std::abs(b) < 1e-15 ? 0.0 : -c / b;
    double discriminant = b * b - 4.0 * a * c;
    if (discriminant < 0.0) return -b / (2.0 * a);
    double s = std::sqrt(discriminant);
    double r1 = (-b + s) / (2.0 * a), r2 = (-b - s) / (2.0 * a);
    return std::abs(r1) < std::abs(r2) ? r1 : r2;
}

}  // namespace velquist::detect
