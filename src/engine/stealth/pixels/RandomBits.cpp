// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/RandomBits.h"

#include "engine/stealth/FreeChoices.h"

namespace velquist::stealth {

RandomBits::RandomBits(std::size_t count, FreeChoices& choices) : bytes_(count / 8 + 1) {
    choices.Fill(bytes_);
}

}  // namespace velquist::stealth
