// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/crypto/PayloadSealer.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "engine/crypto/PayloadError.h"
#include "engine/crypto/SodiumReady.h"

namespace velquist {

// libsodium's stream state, kept out of the header so that no caller includes <sodium.h>.
struct PayloadSealer::StreamState {
    crypto_secretstream_xchacha20poly1305_state stream{};
};

using namespace format2;

PayloadSealer::PayloadSealer(const KeyDerivation& keys, const SecretBytes& password,
                             std::span<const std::uint8_t, kHeaderGroupLength> headerGroup,
                             std::int64_t messageLength, MessageReader readMessage)
    : keys_(keys),
      password_(password),
      messageLeft_(messageLength),
      payloadLength_(format2::PayloadLength(messageLength)),
      readMessage_(std::move(readMessage)),
      state_(std::make_unique<StreamState>()) {
    if (messageLength < 0 || messageLength > kMaxMessageLength)
        throw std::length_error("message too long for a version-2 carrier");
    EnsureSodiumReady();
    std::copy(headerGroup.begin(), headerGroup.end(), headerGroup_.begin());
    plain_.resize(static_cast<std::size_t>(std::min(messageLength, kPieceLength)));
    sealed_.reserve(static_cast<std::size_t>(kSealedPieceLength));
    sealed_.resize(static_cast<std::size_t>(kPrefixLength));
    randombytes_buf(sealed_.data(), kSaltLength);
}

PayloadSealer::~PayloadSealer() {
    sodium_memzero(&state_->stream, sizeof state_->stream);
    sodium_memzero(plain_.data(), plain_.size());
}

void PayloadSealer::DeriveKey() {
    SecretBytes key = keys_.Derive(password_, std::span<const std::uint8_t, kSaltLength>(
                                                  sealed_.data(), kSaltLength));
    password_ = SecretBytes();
    if (key.size() != static_cast<std::size_t>(kKeyLength)) throw PayloadError(PayloadError::Kind::Unavailable);
    crypto_secretstream_xchacha20poly1305_init_push(&state_->stream, sealed_.data() + kSaltLength,
                                                    key.data());
    keyReady_ = true;
}

void PayloadSealer::Fill(std::span<std::uint8_t> out) {
    if (static_cast<std::int64_t>(out.size()) > payloadLength_ - produced_)
        throw std::out_of_range("more payload bytes asked for than the message seals to");
    if (NeedsKey()) DeriveKey();
    while (!out.empty()) {
        if (sealedTaken_ == sealed_.size()) SealNextPiece();
        std::size_t n = std::min(out.size(), sealed_.size() - sealedTaken_);
        std::memcpy(out.data(), sealed_.data() + sealedTaken_, n);
        sealedTaken_ += n;
        produced_ += static_cast<std::int64_t>(n);
        out = out.subspan(n);
    }
}

void PayloadSealer::SealNextPiece() {
    std::size_t length = static_cast<std::size_t>(std::min(messageLeft_, kPieceLength));
    std::span<std::uint8_t> plain(plain_.data(), length);
    if (length > 0) readMessage_(plain);
    messageLeft_ -= static_cast<std::int64_t>(length);
    bool first = piecesSealed_ == 0;
    unsigned char tag = messageLeft_ == 0 ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                          : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
    sealed_.resize(length + kPieceOverhead);
    crypto_secretstream_xchacha20poly1305_push(&state_->stream, sealed_.data(), nullptr, plain.data(),
                                               length, first ? headerGroup_.data() : nullptr,
                                               first ? headerGroup_.size() : 0, tag);
    sodium_memzero(plain.data(), plain.size());
    sealedTaken_ = 0;
    ++piecesSealed_;
}

}  // namespace velquist
