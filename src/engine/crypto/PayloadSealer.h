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

// Seals a message into the N payload bytes of a version-2 carrier, a span at a time, so the
// hide pass can code them into the groups as it goes: only one piece of the message is ever
// in memory, whatever its length.
class PayloadSealer {
public:
    // Fills the whole span with the next message bytes, or throws.
    using MessageReader = std::function<void(std::span<std::uint8_t>)>;

    // `headerGroup` is the 12-byte header group exactly as it is written to the carrier; the
    // first piece authenticates it. Picks a fresh salt; the key is derived later.
    PayloadSealer(const KeyDerivation& keys, const SecretBytes& password,
                  std::span<const std::uint8_t, format2::kHeaderGroupLength> headerGroup,
                  std::int64_t messageLength, MessageReader readMessage);
    ~PayloadSealer();
    PayloadSealer(const PayloadSealer&) = delete;
    PayloadSealer& operator=(const PayloadSealer&) = delete;

    // N: what the marker word's length field holds, and how many bytes Fill hands out in all.
    std::int64_t PayloadLength() const { return payloadLength_; }

    // The slow step. The caller may run DeriveKey on a worker thread while nothing else
    // touches the sealer; otherwise the first Fill runs it. Throws PayloadError(Unavailable).
    bool NeedsKey() const { return !keyReady_; }
    void DeriveKey();

    // Writes the next out.size() payload bytes; together the calls ask for exactly N bytes.
    void Fill(std::span<std::uint8_t> out);

private:
    void SealNextPiece();

    const KeyDerivation& keys_;
    SecretBytes password_;
    std::array<std::uint8_t, format2::kHeaderGroupLength> headerGroup_;
    std::int64_t messageLeft_;
    std::int64_t payloadLength_;
    std::int64_t produced_ = 0;
    std::int64_t piecesSealed_ = 0;
    MessageReader readMessage_;
    struct StreamState;
    std::unique_ptr<StreamState> state_;
    bool keyReady_ = false;
    std::vector<std::uint8_t> plain_;
    std::vector<std::uint8_t> sealed_;  // the salt and stream header, then the latest piece
    std::size_t sealedTaken_ = 0;       // of sealed_, what Fill has handed out
};

}  // namespace velquist
