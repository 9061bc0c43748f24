// SPDX-License-Identifier: GPL-3.0-or-later
#include "Photograph.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace velquist::bench {

using namespace velquist::stealth;

std::vector<std::uint8_t> Photograph(const SampleGeometry& geometry, std::uint32_t width,
                                     std::uint32_t height) {
    std::mt19937 rng(2024);
    std::normal_distribution<float> noise(0.0f, 1.2f);
    std::vector<std::uint8_t> samples(geometry.SampleCount());
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const float u = static_cast<float>(x) / width, v = static_cast<float>(y) / height;
            float light = 60 + 150 * v + 30 * std::sin(5 * u + 2 * v) * std::cos(3 * v);
            const float busy = std::max(0.0f, std::sin(9 * u) * std::sin(7 * v + 1));
            light += busy * 25 * std::sin(0.9f * x + 0.4f * std::sin(0.3f * y)) * std::cos(0.7f * y);
            const float tint[3] = {18 * std::sin(2 * u), 0, -22 * v + 8};
            const std::uint64_t first = geometry.FirstSample(x, y);
            const float shared = noise(rng);
            for (Plane plane : {Plane::Red, Plane::Green, Plane::Blue}) {
                const int c = static_cast<int>(plane);
                float value = light + tint[c] + 0.6f * shared + 0.8f * noise(rng);
                if (v < 0.08f) value = 255;  // blown-out sky
                samples[first + geometry.PlaneOffset(plane)] =
                    static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
            }
        }
    }
    return samples;
}

}  // namespace velquist::bench
