// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/ChunkCopyRule.h"

#include <algorithm>
#include <string_view>

namespace velquist::png {

namespace {

constexpr std::string_view kStandardChunks[] = {
    "IHDR", "PLTE", "IDAT", "IEND", "acTL", "cHRM", "cICP", "gAMA", "iCCP", "mDCV", "cLLI", "sBIT",
    "sRGB", "bKGD", "hIST", "tRNS", "eXIf", "fcTL", "pHYs", "sPLT", "fdAT", "tIME", "iTXt", "tEXt",
    "zTXt",
};

bool SafeToCopy(const PngChunk& chunk) { return (chunk.type[3] & 0x20) != 0; }

}  // namespace

bool KeptOnRewrite(const PngChunk& chunk) {
    return SafeToCopy(chunk) || std::any_of(std::begin(kStandardChunks), std::end(kStandardChunks),
                                            [&](std::string_view type) { return chunk.Is(type); });
}

}  // namespace velquist::png
