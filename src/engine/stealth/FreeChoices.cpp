// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/FreeChoices.h"

#include <sodium.h>

#include "engine/stealth/SodiumStart.h"

namespace velquist::stealth {

// The stream only borrows the seed, which is in place before the first Fill.
FreeChoices::FreeChoices(const std::optional<Seed>& seed) : seed_{}, stream_(seed_) {
    if (seed) {
        seed_ = *seed;
        return;
    }
    StartSodium();
    // A fresh random seed stretched by ChaCha20: as unpredictable, and fast for a whole picture.
    randombytes_buf(seed_.data(), seed_.size());
}

FreeChoices::~FreeChoices() { sodium_memzero(seed_.data(), seed_.size()); }

}  // namespace velquist::stealth
