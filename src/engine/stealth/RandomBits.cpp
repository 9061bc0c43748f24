// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/RandomBits.h"

#include <sodium.h>

#include "engine/stealth/SodiumStart.h"

namespace velquist::stealth {

RandomBits::RandomBits(std::size_t count) : bytes_(count / 8 + 1) {
    StartSodium();
    // A fresh random seed stretched by ChaCha20: as unpredictable, and fast for a whole picture.
    unsigned char seed[randombytes_SEEDBYTES];
    randombytes_buf(seed, sizeof seed);
    randombytes_buf_deterministic(bytes_.data(), bytes_.size(), seed);
    sodium_memzero(seed, sizeof seed);
}

}  // namespace velquist::stealth
