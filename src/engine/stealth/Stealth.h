// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "engine/stealth/Cover.h"
#include "engine/stealth/FreeChoices.h"
#include "engine/stealth/StealthKeys.h"

// Version 3 of the carrier on a cover, with no file in sight: the caller hands over the carrier's
// samples as a Cover and writes the changed samples back. Without the passphrase nothing tells
// such a carrier from any other.
namespace velquist::stealth {

struct EmbedOptions {
    unsigned threads = 0;  // 0: one per core
    // Called with 0 .. 1, never going back, one call at a time, possibly from a worker thread.
    std::function<void(double)> progress;
    // Rounds that lower the changes' cost after the first coding, each running the cover's
    // refinement passes (BodyWriter). Against detectors they bought little that could be
    // measured, so none by default.
    int rounds = 0;
    // Nothing: the free choices come from the CSPRNG. Tests and benchmarks that must repeat a
    // hide or a wipe exactly set one.
    std::optional<FreeChoices::Seed> seed;
};

// Changes the cover's samples by +-1 so that they carry `payload` (a sealed message, see
// MessageSealer) under `keys`. Returns the indices of the changed samples in ascending order,
// or nothing, with the samples untouched, when the payload does not fit: too long for the
// cover, or held off by samples that may not change. A message hidden earlier under any
// passphrase is gone. Throws StealthError(OutOfMemory) when the embedder cannot get its memory.
std::optional<std::vector<std::uint32_t>> Embed(Cover& cover, const StealthKeys& keys,
                                                std::span<const std::uint8_t> payload,
                                                const EmbedOptions& options = {});

// The payload the cover carries under `keys`, or nothing when the header check fails: the
// carrier holds no message for this passphrase, which is also the answer for a clean one.
// Open the payload with MessageOpener.
std::optional<std::vector<std::uint8_t>> ReadPayload(const Cover& cover, const StealthKeys& keys);

// Rewrites what a hide of `payloadLength` bytes under `keys` wrote: header parities drawn at
// random until they fail the check, and the body coded with as many random bytes, so the
// carrier still looks like one that carries that much. A body that cannot be coded so (the
// length does not fit, or samples that may not change hold it) is left alone. Returns the
// indices of the changed samples in ascending order, or nothing, with the samples untouched,
// when samples that may not change leave the header no way to fail the check.
std::optional<std::vector<std::uint32_t>> Wipe(Cover& cover, const StealthKeys& keys,
                                               std::uint32_t payloadLength,
                                               const EmbedOptions& options = {});

}  // namespace velquist::stealth
