// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/MessageSealer.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/MessagePieces.h"
#include "engine/stealth/SodiumStart.h"

namespace velquist::stealth {

MessageSealer::MessageSealer(const StealthKeys& keys, std::string_view name,
                             std::uint64_t fileLength, FileReader read)
    : keys_(keys), read_(std::move(read)) {
    if (name.size() > pieces::kMaxName) throw std::invalid_argument("a file name has at most 255 bytes");
    if (fileLength > pieces::kMaxPayload)
        throw std::length_error("the file is too large for any picture");
    prefix_.resize(2 + name.size());
    bytes::StoreLE(prefix_.data(), name.size(), 2);
    std::copy(name.begin(), name.end(), prefix_.begin() + 2);
    plainLength_ = prefix_.size() + fileLength;
    payloadLength_ = pieces::PayloadLength(plainLength_);
    if (payloadLength_ > pieces::kMaxPayload)
        throw std::length_error("the file is too large for any picture");
}

MessageSealer::~MessageSealer() { sodium_memzero(prefix_.data(), prefix_.size()); }

std::vector<std::uint8_t> MessageSealer::Seal() {
    StartSodium();
    std::vector<std::uint8_t> payload(payloadLength_);
    std::vector<std::uint8_t> plain(std::min<std::uint64_t>(plainLength_, pieces::kPiece));
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_push(&state, payload.data(), keys_.Message().data());
    std::size_t at = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
    const auto salt = keys_.PictureSalt();
    for (std::uint64_t left = plainLength_; left > 0;) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(left, pieces::kPiece));
        FillPiece(std::span(plain).first(length));
        left -= length;
        const bool first = at == crypto_secretstream_xchacha20poly1305_HEADERBYTES;
        crypto_secretstream_xchacha20poly1305_push(
            &state, payload.data() + at, nullptr, plain.data(), length,
            first ? salt.data() : nullptr, first ? salt.size() : 0,
            left == 0 ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                      : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
        at += length + crypto_secretstream_xchacha20poly1305_ABYTES;
    }
    sodium_memzero(plain.data(), plain.size());
    sodium_memzero(&state, sizeof state);
    return payload;
}

void MessageSealer::FillPiece(std::span<std::uint8_t> plain) {
    const std::size_t fromName = std::min(plain.size(), prefix_.size() - prefixTaken_);
    std::copy_n(prefix_.begin() + static_cast<std::ptrdiff_t>(prefixTaken_), fromName, plain.begin());
    prefixTaken_ += fromName;
    if (fromName < plain.size()) read_(plain.subspan(fromName));
}

}  // namespace velquist::stealth
