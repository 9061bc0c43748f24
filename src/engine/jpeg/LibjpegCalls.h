// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/jpeg/JpegLayout.h"

namespace velquist::jpeg {

// The only calls into libjpeg. libjpeg reports an error by longjmp, so these are plain
// functions that hold nothing needing destruction while libjpeg runs; they answer with an
// outcome.

enum class LibjpegOutcome {
    Done,
    Refused,      // libjpeg stopped with an error, or warned of corrupt data
    OutOfMemory,  // libjpeg could not get the memory it needs
};

// One component as libjpeg is to see it.
struct LibjpegPlane {
    std::uint8_t id = 0;
    std::uint8_t h = 1;
    std::uint8_t v = 1;
    std::uint32_t widthInBlocks = 0;
    std::uint32_t heightInBlocks = 0;
    // The table slots the writer codes the component with.
    std::uint8_t dcSlot = 0;
    std::uint8_t acSlot = 0;
};

struct LibjpegRead {
    // From the start to the end of image.
    std::span<const std::uint8_t> file;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::span<const LibjpegPlane> planes;
    // Every plane's widthInBlocks x heightInBlocks blocks of 64 coefficients, plane after plane.
    std::int16_t* values = nullptr;
};

// Reads every scan's coefficients into job.values. Refused when libjpeg fails, warns of
// corrupt data, or sees another geometry than job says.
LibjpegOutcome ReadWithLibjpeg(const LibjpegRead& job);

struct LibjpegScript {
    std::uint8_t count = 0;
    std::array<std::uint8_t, 4> planes{};  // indices in the frame's order
    std::uint8_t ss = 0;
    std::uint8_t se = 63;
    std::uint8_t ah = 0;
    std::uint8_t al = 0;
};

struct LibjpegWrite {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::span<const LibjpegPlane> planes;
    std::span<const LibjpegScript> scans;
    bool arithmetic = false;
    // Huffman tables made for the values of each scan; otherwise the tables below.
    bool optimise = false;
    bool jfif = false;
    bool adobe = false;
    std::uint16_t restartInterval = 0;
    // The tables of each slot when not optimising; null leaves libjpeg's standard one.
    std::array<const JpegHuffmanTable*, 4> dcTables{};
    std::array<const JpegHuffmanTable*, 4> acTables{};
    // Arithmetic conditioning of each slot: DC is L + 16 U, AC is Kx.
    std::array<std::uint8_t, 4> dcConditioning{0x10, 0x10, 0x10, 0x10};
    std::array<std::uint8_t, 4> acConditioning{5, 5, 5, 5};
    const std::int16_t* values = nullptr;
    // Room to start with for the output.
    std::size_t sizeHint = 1 << 16;
};

// Sets `out` to the whole JPEG libjpeg writes for these coefficients and that script.
LibjpegOutcome WriteWithLibjpeg(const LibjpegWrite& job, std::vector<std::uint8_t>& out);

}  // namespace velquist::jpeg
