// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "engine/stealth/jpeg/JpegView.h"

namespace velquist::stealth {

// The salt of a JPEG's passphrase hashing. It binds the keys to the frame's geometry, the picture
// size and each component's sampling and blocks, so that the same passphrase orders the
// coefficients of two differently shaped pictures differently. Not secret.
class JpegSalt {
public:
    static constexpr std::size_t kLength = 16;

    static std::array<std::uint8_t, kLength> Of(const JpegView& view);
};

}  // namespace velquist::stealth
