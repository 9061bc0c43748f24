// SPDX-License-Identifier: GPL-3.0-or-later
#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "probes/PngProbe.h"

namespace {

std::uint32_t BE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Gives every whole chunk the CRC of its bytes, so that mutants get past the CRC check to the
// header rules and the image data.
void FixCrcs(std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 8; at + 12 <= size;) {
        std::uint32_t length = BE32(data + at);
        if (length > size - at - 12) return;
        uLong crc = crc32(0, data + at + 4, static_cast<uInt>(length + 4));
        std::uint8_t* field = data + at + 8 + length;
        for (int i = 0; i < 4; ++i) field[i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + std::size_t{length};
    }
}

}  // namespace

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    // One mutant in four keeps its CRCs as they came, for the CRC check itself.
    if (seed % 4 != 0) FixCrcs(data, size);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velquist::probes::PngProbe probe;
    probe.Run({data, size}).AbortIfAny();
    return 0;
}
