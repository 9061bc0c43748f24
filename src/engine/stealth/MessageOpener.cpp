// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/MessageOpener.h"

#include <sodium.h>

#include <algorithm>
#include <vector>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/MessagePieces.h"
#include "engine/stealth/SafeName.h"
#include "engine/stealth/SodiumStart.h"
#include "engine/stealth/StealthError.h"

namespace velquist::stealth {

namespace {

[[noreturn]] void Damaged() { throw StealthError(StealthError::Kind::Damaged); }

// Zeroes the stream state and the plaintext however the opening ends.
struct OpenState {
    crypto_secretstream_xchacha20poly1305_state stream{};
    std::vector<std::uint8_t> plain = std::vector<std::uint8_t>(pieces::kPiece);

    ~OpenState() {
        sodium_memzero(&stream, sizeof stream);
        sodium_memzero(plain.data(), plain.size());
    }
};

}  // namespace

void MessageOpener::Open(std::span<const std::uint8_t> payload) {
    StartSodium();
    if (payload.size() < pieces::kStreamHeader) Damaged();
    OpenState state;
    if (crypto_secretstream_xchacha20poly1305_init_pull(&state.stream, payload.data(),
                                                        keys_.Message().data()) != 0)
        Damaged();
    const auto salt = keys_.PictureSalt();
    bool final = false;
    for (std::size_t at = pieces::kStreamHeader; at < payload.size();) {
        if (final) Damaged();
        const std::size_t sealed = std::min<std::size_t>(pieces::kSealedPiece, payload.size() - at);
        const bool first = at == pieces::kStreamHeader;
        unsigned long long length = 0;
        unsigned char tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(
                &state.stream, state.plain.data(), &length, &tag, payload.data() + at, sealed,
                first ? salt.data() : nullptr, first ? salt.size() : 0) != 0)
            Damaged();
        if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL)
            final = true;
        else if (tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE)
            Damaged();
        const std::span<const std::uint8_t> plain(state.plain.data(), length);
        if (first)
            TakeFirstPiece(plain);
        else if (!plain.empty())
            file_(plain);
        at += sealed;
    }
    if (!final) Damaged();
}

void MessageOpener::TakeFirstPiece(std::span<const std::uint8_t> plain) {
    if (plain.size() < 2) Damaged();
    const auto nameLength = static_cast<std::size_t>(bytes::LoadLE(plain.data(), 2));
    if (nameLength > pieces::kMaxName || 2 + nameLength > plain.size()) Damaged();
    std::string stored(plain.begin() + 2, plain.begin() + 2 + static_cast<std::ptrdiff_t>(nameLength));
    const std::string safe = SafeName(stored);
    sodium_memzero(stored.data(), stored.size());
    name_(safe);
    if (plain.size() > 2 + nameLength) file_(plain.subspan(2 + nameLength));
}

}  // namespace velquist::stealth
