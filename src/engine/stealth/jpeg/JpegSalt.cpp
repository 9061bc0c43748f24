// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/JpegSalt.h"

#include <sodium.h>

#include <string_view>
#include <vector>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/SodiumStart.h"

namespace velquist::stealth {

namespace {

constexpr std::string_view kDomain = "velquist format 3 jpeg";

void PutWord(std::vector<std::uint8_t>& bytes, std::uint32_t word) {
    std::uint8_t le[4];
    bytes::StoreLE(le, word, 4);
    bytes.insert(bytes.end(), le, le + 4);
}

}  // namespace

std::array<std::uint8_t, JpegSalt::kLength> JpegSalt::Of(const JpegView& view) {
    StartSodium();
    std::vector<std::uint8_t> message(kDomain.begin(), kDomain.end());
    PutWord(message, view.width);
    PutWord(message, view.height);
    PutWord(message, static_cast<std::uint32_t>(view.components.size()));
    for (const JpegComponent& c : view.components) {
        PutWord(message, c.h);
        PutWord(message, c.v);
        PutWord(message, c.blocksWide);
        PutWord(message, c.blocksHigh);
    }
    std::array<std::uint8_t, kLength> salt{};
    crypto_generichash(salt.data(), salt.size(), message.data(), message.size(), nullptr, 0);
    return salt;
}

}  // namespace velquist::stealth
