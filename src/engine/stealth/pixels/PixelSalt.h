// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "engine/stealth/StealthKeys.h"

namespace velquist::stealth {

// The salt of a picture whose colour samples carry the message: BLAKE2b of a fixed label, the
// width and the absolute height, so that it follows from the picture's size alone.
StealthKeys::SaltBytes PixelSalt(std::uint32_t width, std::uint32_t height);

}  // namespace velquist::stealth
