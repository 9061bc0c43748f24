// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/crypto/KeyDerivation.h"
#include "engine/crypto/SecretBytes.h"
#include "engine/format/Format2.h"

namespace velquist {

// Opens the N payload bytes of a version-2 carrier as the extraction pass reads them out of
// the groups, in spans of any size. Each piece reaches the sink only once it has
// authenticated; at most one piece and one fed span are held at a time.
//
// Failures throw PayloadError: the first piece not authenticating is WrongPassword; a later
// piece not authenticating, a piece after the final one, or the payload ending before the
// final piece is Damaged. Whatever the sink received before a Damaged must be thrown away.
class PayloadOpener {
public:
    // Takes the next authenticated message bytes, or throws.
    using MessageSink = std::function<void(std::span<const std::uint8_t>)>;

    // `headerGroup` is the 12-byte header group exactly as it lies in the carrier, before any
    // sanitising of the extension. Throws PayloadError(Damaged) when no message seals to
    // `payloadLength` bytes.
    PayloadOpener(const KeyDerivation& keys, const SecretBytes& password,
                  std::span<const std::uint8_t, format2::kHeaderGroupLength> headerGroup,
                  std::int64_t payloadLength, MessageSink sink);
    ~PayloadOpener();
    PayloadOpener(const PayloadOpener&) = delete;
    PayloadOpener& operator=(const PayloadOpener&) = delete;

    // The length of the message, known from N alone.
    std::int64_t MessageLength() const { return messageLength_; }

    // True once the salt and stream header have been fed and the key is still to be derived.
    // The caller may then run DeriveKey, the slow step, on a worker thread while nothing else
    // touches the opener; otherwise the next Feed or Finish runs it.
    bool NeedsKey() const { return stage_ == Stage::Key; }
    void DeriveKey();

    // The next payload bytes; together the calls give at most N bytes.
    void Feed(std::span<const std::uint8_t> payload);
    // After the N bytes: throws unless the final piece has authenticated.
    void Finish();

private:
    enum class Stage { Prefix, Key, Pieces, Done };

    void Advance();
    void TakePrefix();
    void OpenPiece(std::span<const std::uint8_t> sealed);

    const KeyDerivation& keys_;
    SecretBytes password_;
    std::array<std::uint8_t, format2::kHeaderGroupLength> headerGroup_;
    std::int64_t payloadLength_;
    std::int64_t messageLength_;
    std::int64_t fed_ = 0;
    std::int64_t sealedLeft_;  // piece bytes not yet opened
    std::int64_t piecesOpened_ = 0;
    MessageSink sink_;
    Stage stage_ = Stage::Prefix;
    std::array<std::uint8_t, format2::kSaltLength> salt_{};
    std::array<std::uint8_t, format2::kStreamHeaderLength> streamHeader_{};
    struct StreamState;
    std::unique_ptr<StreamState> state_;
    std::vector<std::uint8_t> pending_;  // fed, not yet opened
    std::vector<std::uint8_t> plain_;
};

}  // namespace velquist
