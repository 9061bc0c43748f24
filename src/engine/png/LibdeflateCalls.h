// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace velquist::png {

// A compressed stream in a buffer sized for the worst case, of which only the pages written
// are ever touched.
struct ZlibStream {
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t size = 0;

    std::span<const std::uint8_t> bytes() const { return {buffer.get(), size}; }
};

// The zlib stream of `data`, compressed in one call by libdeflate at `level` (1 fastest to 12
// hardest). Throws std::bad_alloc when libdeflate or the stream's buffer cannot get memory.
ZlibStream CompressToZlib(std::span<const std::uint8_t> data, int level);

}  // namespace velquist::png
