// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/PixelSalt.h"

#include <sodium.h>

#include <algorithm>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/SodiumStart.h"

namespace velquist::stealth {

namespace {

constexpr char kSaltLabel[] = "velquist format 3";
constexpr std::size_t kLabelLength = sizeof kSaltLabel - 1;

}  // namespace

StealthKeys::SaltBytes PixelSalt(std::uint32_t width, std::uint32_t height) {
    StartSodium();
    std::uint8_t label[kLabelLength + 8];
    std::copy(kSaltLabel, kSaltLabel + kLabelLength, label);
    bytes::StoreLE(label + kLabelLength, width, 4);
    bytes::StoreLE(label + kLabelLength + 4, height, 4);
    StealthKeys::SaltBytes salt;
    crypto_generichash(salt.data(), salt.size(), label, sizeof label, nullptr, 0);
    return salt;
}

}  // namespace velquist::stealth
