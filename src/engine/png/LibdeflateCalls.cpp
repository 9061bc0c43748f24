// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/LibdeflateCalls.h"

#include <libdeflate.h>

#include <new>
#include <stdexcept>

namespace velquist::png {

namespace {

struct FreeCompressor {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

}  // namespace

ZlibStream CompressToZlib(std::span<const std::uint8_t> data, int level) {
    if (level < 1 || level > 12) throw std::invalid_argument("libdeflate levels go from 1 to 12");
    // With a valid level, the only way to get no compressor is to lack the memory for it.
    std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor(libdeflate_alloc_compressor(level));
    if (!compressor) throw std::bad_alloc();
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), data.size());
    ZlibStream stream{std::make_unique_for_overwrite<std::uint8_t[]>(bound), 0};
    stream.size = libdeflate_zlib_compress(compressor.get(), data.data(), data.size(), stream.buffer.get(), bound);
    if (stream.size == 0) throw std::logic_error("libdeflate overran its own bound");
    return stream;
}

}  // namespace velquist::png
