// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/crypto/PayloadOpener.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

#include "engine/crypto/PayloadError.h"
#include "engine/crypto/SodiumReady.h"

namespace velquist {

// libsodium's stream state, kept out of the header so that no caller includes <sodium.h>.
struct PayloadOpener::StreamState {
    crypto_secretstream_xchacha20poly1305_state stream{};
};

using namespace format2;

namespace {

std::int64_t MessageLengthOrDamaged(std::int64_t payloadLength) {
    std::optional<std::int64_t> length = format2::MessageLength(payloadLength);
    if (!length) throw PayloadError(PayloadError::Kind::Damaged);
    return *length;
}

}  // namespace

PayloadOpener::PayloadOpener(const KeyDerivation& keys, const SecretBytes& password,
                             std::span<const std::uint8_t, kHeaderGroupLength> headerGroup,
                             std::int64_t payloadLength, MessageSink sink)
    : keys_(keys),
      password_(password),
      payloadLength_(payloadLength),
      messageLength_(MessageLengthOrDamaged(payloadLength)),
      sealedLeft_(payloadLength - kPrefixLength),
      sink_(std::move(sink)),
      state_(std::make_unique<StreamState>()) {
    EnsureSodiumReady();
    std::copy(headerGroup.begin(), headerGroup.end(), headerGroup_.begin());
    pending_.reserve(static_cast<std::size_t>(kSealedPieceLength));
    plain_.resize(static_cast<std::size_t>(std::min(messageLength_, kPieceLength)));
}

PayloadOpener::~PayloadOpener() {
    sodium_memzero(&state_->stream, sizeof state_->stream);
    sodium_memzero(plain_.data(), plain_.size());
}

void PayloadOpener::DeriveKey() {
    if (!NeedsKey()) throw std::logic_error("the key needs the salt, and is derived once");
    SecretBytes key = keys_.Derive(password_, salt_);
    password_ = SecretBytes();
    if (key.size() != static_cast<std::size_t>(kKeyLength)) throw PayloadError(PayloadError::Kind::Unavailable);
    int refused = crypto_secretstream_xchacha20poly1305_init_pull(&state_->stream, streamHeader_.data(),
                                                                  key.data());
    // The stream header belongs to the first piece: a header refused is a first piece refused.
    if (refused != 0) throw PayloadError(PayloadError::Kind::WrongPassword);
    stage_ = Stage::Pieces;
}

void PayloadOpener::Feed(std::span<const std::uint8_t> payload) {
    if (static_cast<std::int64_t>(payload.size()) > payloadLength_ - fed_)
        throw std::out_of_range("more payload bytes fed than the marker word claims");
    if (NeedsKey()) DeriveKey();
    fed_ += static_cast<std::int64_t>(payload.size());
    pending_.insert(pending_.end(), payload.begin(), payload.end());
    Advance();
}

void PayloadOpener::Finish() {
    if (NeedsKey()) DeriveKey();
    Advance();
    if (stage_ != Stage::Done) throw PayloadError(PayloadError::Kind::Damaged);
}

// Opens whatever the pending bytes complete, stopping at the key when it is still missing.
void PayloadOpener::Advance() {
    if (stage_ == Stage::Prefix && static_cast<std::int64_t>(pending_.size()) >= kPrefixLength)
        TakePrefix();
    std::size_t opened = 0;
    while (stage_ == Stage::Pieces) {
        auto length = static_cast<std::size_t>(std::min(sealedLeft_, kSealedPieceLength));
        if (pending_.size() - opened < length) break;
        OpenPiece(std::span<const std::uint8_t>(pending_).subspan(opened, length));
        opened += length;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(opened));
}

void PayloadOpener::TakePrefix() {
    auto salt = pending_.begin();
    auto header = salt + kSaltLength;
    std::copy(salt, header, salt_.begin());
    std::copy(header, header + kStreamHeaderLength, streamHeader_.begin());
    pending_.erase(salt, salt + kPrefixLength);
    stage_ = Stage::Key;
}

void PayloadOpener::OpenPiece(std::span<const std::uint8_t> sealed) {
    bool first = piecesOpened_ == 0;
    unsigned long long length = 0;
    unsigned char tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(
            &state_->stream, plain_.data(), &length, &tag, sealed.data(), sealed.size(),
            first ? headerGroup_.data() : nullptr, first ? headerGroup_.size() : 0) != 0)
        throw PayloadError(first ? PayloadError::Kind::WrongPassword : PayloadError::Kind::Damaged);
    ++piecesOpened_;
    sealedLeft_ -= static_cast<std::int64_t>(sealed.size());
    // Piece lengths follow from N, so the final tag must fall exactly on the last piece.
    bool last = sealedLeft_ == 0;
    if (tag != (last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                     : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE))
        throw PayloadError(PayloadError::Kind::Damaged);
    if (last) stage_ = Stage::Done;
    if (length > 0) sink_(std::span<const std::uint8_t>(plain_.data(), length));
    sodium_memzero(plain_.data(), length);
}

}  // namespace velquist
