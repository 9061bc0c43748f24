// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/stealth/Keystream.h"

namespace velquist::stealth {

// The bytes an embedder's free choices are drawn from: which way a change goes where both ways
// cost the same, and what a wipe writes in place of a message. Without a seed they come from
// libsodium's CSPRNG, as a hide needs: nothing about them may be guessable. With one they are
// its keystream, so that tests and benchmarks can run the same hide twice.
class FreeChoices {
public:
    using Seed = std::array<std::uint8_t, 32>;

    explicit FreeChoices(const std::optional<Seed>& seed = std::nullopt);
    ~FreeChoices();
    FreeChoices(const FreeChoices&) = delete;
    FreeChoices& operator=(const FreeChoices&) = delete;

    // The next out.size() bytes.
    void Fill(std::span<std::uint8_t> out) { stream_.Fill(out); }

private:
    Seed seed_;
    Keystream stream_;
};

}  // namespace velquist::stealth
