// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

// The decomposition filters of Daubechies' orthonormal wavelet with eight vanishing moments: the
// directional residuals of the costs are one level of its undecimated decomposition.
namespace velquist::stealth::wavelet {

inline constexpr std::size_t kTaps = 16;

inline constexpr std::array<double, kTaps> kLowPass = {
    -0.00011747678400228192, 0.0006754494059985568, -0.0003917403729959771, -0.00487035299301066,
    0.008746094047015655,    0.013981027917015516,  -0.04408825393106472,   -0.01736930100202211,
    0.128747426620186,       0.00047248457399797254, -0.2840155429624281,   -0.015829105256023893,
    0.5853546836548691,      0.6756307362980128,    0.3128715909144659,     0.05441584224308161,
};

// g[k] = (-1)^(k + 1) h[15 - k]: the quadrature mirror of the low-pass filter.
inline constexpr std::array<double, kTaps> kHighPass = {
    -0.05441584224308161,   0.3128715909144659,    -0.6756307362980128,    0.5853546836548691,
    0.015829105256023893,   -0.2840155429624281,   -0.00047248457399797254, 0.128747426620186,
    0.01736930100202211,    -0.04408825393106472,  -0.013981027917015516,  0.008746094047015655,
    0.00487035299301066,    -0.0003917403729959771, -0.0006754494059985568, -0.00011747678400228192,
};

}  // namespace velquist::stealth::wavelet
