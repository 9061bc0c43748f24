// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/ImageChunks.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "engine/png/PngLayout.h"

namespace velquist::png {

namespace {

constexpr std::size_t kChunkOverhead = 12;  // length, type and CRC
constexpr std::uint8_t kType[4] = {'I', 'D', 'A', 'T'};

void AppendBE32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::size_t ImageChunksSize(std::size_t streamSize, std::size_t chunkSize) {
    return streamSize + kChunkOverhead * ((streamSize + chunkSize - 1) / chunkSize);
}

void AppendImageChunks(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> stream,
                       std::size_t chunkSize) {
    if (chunkSize == 0 || chunkSize > kMaxChunkLength) throw std::invalid_argument("IDAT chunk size");
    for (std::size_t at = 0; at < stream.size(); at += chunkSize) {
        std::span<const std::uint8_t> data = stream.subspan(at, std::min(chunkSize, stream.size() - at));
        AppendBE32(out, static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), std::begin(kType), std::end(kType));
        out.insert(out.end(), data.begin(), data.end());
        // The CRC covers the type and the data.
        uLong crc = crc32(crc32(0, kType, 4), data.data(), static_cast<uInt>(data.size()));
        AppendBE32(out, static_cast<std::uint32_t>(crc));
    }
}

}  // namespace velquist::png
