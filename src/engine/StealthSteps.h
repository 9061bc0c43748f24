// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/PassContext.h"
#include "engine/crypto/SecretBytes.h"
#include "engine/stealth/StealthKeys.h"
#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist {

class StealthPicture;

// The slow steps of format version 3 as a pass runs them: beside the window's event loop with
// its progress reported, or right here without one.
namespace stealth_steps {

// The keys `passphrase` gives for the picture, reporting the password being verified.
stealth::StealthKeys DeriveKeys(PassContext& ctx, const SecretBytes& passphrase,
                                const stealth::SampleGeometry& geometry);

// Embeds `payload` into the picture's samples, reporting the percentage as it goes; the
// changed samples' indices, or nothing when it does not fit.
std::optional<std::vector<std::uint32_t>> Embed(PassContext& ctx, StealthPicture& picture,
                                                const stealth::StealthKeys& keys,
                                                std::span<const std::uint8_t> payload);

// Rewrites what a hide of `payloadLength` bytes wrote, reporting as it goes.
std::vector<std::uint32_t> Wipe(PassContext& ctx, StealthPicture& picture,
                                const stealth::StealthKeys& keys, std::uint32_t payloadLength);

// The payload the picture's samples carry under `keys`, or nothing when none does.
std::optional<std::vector<std::uint8_t>> ReadPayload(StealthPicture& picture,
                                                     const stealth::StealthKeys& keys);

}  // namespace stealth_steps

}  // namespace velquist
