// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velquist::png {

// The bytes AppendImageChunks adds for a stream of `streamSize` bytes.
std::size_t ImageChunksSize(std::size_t streamSize, std::size_t chunkSize);

// Appends `stream` to `out` as IDAT chunks of `chunkSize` data bytes (at most 2^31 - 1), the
// last one shorter, each with its length, type and CRC.
void AppendImageChunks(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> stream,
                       std::size_t chunkSize);

}  // namespace velquist::png
