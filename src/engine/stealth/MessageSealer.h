// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/stealth/MessagePieces.h"
#include "engine/stealth/StealthKeys.h"

namespace velquist::stealth {

// Seals a file and its name into the payload a picture carries: the stream header, then the
// name's length, the name and the file in pieces of 64 KiB, each encrypted and authenticated
// on its own, the first one also binding the picture's salt.
class MessageSealer {
public:
    // Fills the whole span with the file's next bytes, or throws.
    using FileReader = std::function<void(std::span<std::uint8_t>)>;

    // `name` is the file's base name. Throws std::invalid_argument for a name over 255 bytes,
    // std::length_error for a file whose payload would pass the 32-bit length.
    MessageSealer(const StealthKeys& keys, std::string_view name, std::uint64_t fileLength,
                  FileReader read);
    ~MessageSealer();

    // L: the bytes Seal returns.
    std::uint64_t PayloadLength() const { return payloadLength_; }

    // Reads the file once, piece by piece, and returns the whole payload.
    std::vector<std::uint8_t> Seal();

private:
    void FillPiece(std::span<std::uint8_t> plain);

    const StealthKeys& keys_;
    // The name's length and the name, the plaintext's start: sized once, and zeroed when the
    // sealer goes, so that no copy of the name stays behind in freed memory.
    std::vector<std::uint8_t> prefix_;
    std::size_t prefixTaken_ = 0;
    std::uint64_t plainLength_;
    std::uint64_t payloadLength_;
    FileReader read_;
};

}  // namespace velquist::stealth
