// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "engine/stealth/StealthKeys.h"

namespace velquist::stealth {

// Opens a payload that ReadPayload found: hands out the stored file name, made safe, once the
// first piece has authenticated, then the file's bytes piece by piece, each only once it has
// authenticated. Nothing unauthenticated ever reaches a sink.
//
// Throws StealthError(Damaged) when a piece does not authenticate (the first included: the
// header check already vouched for the passphrase), when a piece follows the final one, when
// bytes follow it, or when the payload ends before it. Whatever the sinks received before a
// Damaged must be thrown away.
class MessageOpener {
public:
    using NameSink = std::function<void(const std::string& safeName)>;
    using FileSink = std::function<void(std::span<const std::uint8_t>)>;

    MessageOpener(const StealthKeys& keys, NameSink name, FileSink file)
        : keys_(keys), name_(std::move(name)), file_(std::move(file)) {}

    void Open(std::span<const std::uint8_t> payload);

private:
    void TakeFirstPiece(std::span<const std::uint8_t> plain);

    const StealthKeys& keys_;
    NameSink name_;
    FileSink file_;
};

}  // namespace velquist::stealth
