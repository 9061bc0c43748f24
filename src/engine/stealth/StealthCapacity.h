// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace velquist::stealth {

// How much a picture of n samples takes. A file is safe to hide where its payload stays within
// 0.1 bits per sample: beyond that, detectors start to tell the picture from a clean one.
class StealthCapacity {
public:
    // L, the payload a plaintext (name length, name, file) of `plainLength` bytes seals to.
    static std::uint64_t PayloadLength(std::uint64_t plainLength);
    // The payload length L of a file of `fileLength` bytes stored under a `nameLength`-byte name.
    static std::uint64_t PayloadLength(std::uint64_t fileLength, std::uint64_t nameLength);

    // The largest L the picture carries; 0 when it carries none.
    static std::uint64_t LargestPayload(std::uint64_t samples);
    // The largest file it carries under a name of `nameLength` bytes; nothing when not even an
    // empty file fits.
    static std::optional<std::uint64_t> LargestFile(std::uint64_t samples,
                                                    std::uint64_t nameLength = 0);
    // The same within 0.1 bits per sample (8 L <= 0.1 n).
    static std::optional<std::uint64_t> SafeFile(std::uint64_t samples,
                                                 std::uint64_t nameLength = 0);

private:
    static std::optional<std::uint64_t> FileWithin(std::uint64_t payload, std::uint64_t nameLength);
};

}  // namespace velquist::stealth
