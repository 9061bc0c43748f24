// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "engine/stealth/FreeChoices.h"
#include "engine/stealth/SampleGeometry.h"
#include "engine/stealth/StealthKeys.h"

// Version 3 of the carrier on a picture's samples, with no file in sight: the caller decodes
// the picture to its cover sequence (SampleGeometry says which bytes those are), and writes the
// changed samples back. Without the passphrase nothing tells such a picture from any other.
namespace velquist::stealth {

class CostModel;

struct EmbedOptions {
    unsigned threads = 0;  // 0: one per core
    // Called with 0 .. 1, never going back, one call at a time, possibly from a worker thread.
    std::function<void(double)> progress;
    // Nothing: HILL on the colour planes and their differences (ColourHillCosts).
    const CostModel* costs = nullptr;
    // Rounds that lower the changes' cost after the first coding, each coding the body twice
    // more with a part of the samples free (BodyWriter). Against detectors they bought little
    // that could be measured, so none by default.
    int rounds = 0;
    // Nothing: the free choices come from the CSPRNG. Tests and benchmarks that must repeat a
    // hide or a wipe exactly set one.
    std::optional<FreeChoices::Seed> seed;
};

// Changes the samples by +-1 so that they carry `payload` (a sealed message, see
// MessageSealer) under `keys`. Returns the indices of the changed samples in ascending order,
// or nothing, with the samples untouched, when the payload does not fit. A message hidden
// earlier under any passphrase is gone. Throws std::invalid_argument when the samples are not
// the geometry's, StealthError(OutOfMemory) when the embedder cannot get its memory.
std::optional<std::vector<std::uint32_t>> Embed(std::span<std::uint8_t> samples,
                                                const SampleGeometry& geometry,
                                                const StealthKeys& keys,
                                                std::span<const std::uint8_t> payload,
                                                const EmbedOptions& options = {});

// The payload the samples carry under `keys`, or nothing when the header check fails: the
// picture holds no message for this passphrase, which is also the answer for a clean picture.
// Open the payload with MessageOpener.
std::optional<std::vector<std::uint8_t>> ReadPayload(std::span<const std::uint8_t> samples,
                                                     const StealthKeys& keys);

// Rewrites what a hide of `payloadLength` bytes under `keys` wrote: header parities drawn at
// random until they fail the check, and the body coded with as many random bytes, so the
// picture still looks like one that carries that much. A length that does not fit leaves the
// body alone. Returns the indices of the changed samples in ascending order.
std::vector<std::uint32_t> Wipe(std::span<std::uint8_t> samples, const SampleGeometry& geometry,
                                const StealthKeys& keys, std::uint32_t payloadLength,
                                const EmbedOptions& options = {});

}  // namespace velquist::stealth
