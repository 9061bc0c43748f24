// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include "engine/stealth/StealthKeys.h"
#include "engine/stealth/pixels/PixelSalt.h"
#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist::stealth::testing {

// A picture's samples with smooth gradients, texture and noise, and a patch of salt-and-pepper
// (mostly 0 and 255, some samples between, so pixels mix forced and free samples) busy enough
// that changes land on it, so the rules for saturated samples are put to work.
inline std::vector<std::uint8_t> TestSamples(const SampleGeometry& geometry, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> samples(geometry.SampleCount());
    for (std::uint64_t i = 0; i < samples.size(); ++i) {
        const SamplePlace at = geometry.PlaceOf(i);
        if (at.x < geometry.Width() / 4 && at.y < geometry.Height() / 4) {
            const std::uint32_t draw = rng();
            samples[i] = draw % 3 == 0 ? static_cast<std::uint8_t>(100 + draw % 50) : ((draw >> 8 & 1) ? 255 : 0);
            continue;
        }
        const int texture = static_cast<int>((at.x * 7 + at.y * 3) % 23) - 11;
        const int value = static_cast<int>(at.x + at.y) % 200 + 20 + texture +
                          static_cast<int>(rng() % 9) - 4 + 10 * static_cast<int>(at.plane);
        samples[i] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
    return samples;
}

// The keys a passphrase gives for a picture of the geometry's size, at the cheapest cost.
inline StealthKeys PictureKeys(std::string_view passphrase, const SampleGeometry& geometry) {
    return StealthKeys::Derive(passphrase, PixelSalt(geometry.Width(), geometry.Height()),
                               KdfCost::Cheapest());
}

}  // namespace velquist::stealth::testing
