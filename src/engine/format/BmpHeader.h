// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/format/Outcome.h"

namespace velquist {

class FileService;

enum class BmpDamage {
    None,
    TooShort,           // shorter than the header fields the program reads
    NotBitmap,          // does not start with "BM"
    InfoSizeOutOfRange, // info header size below 12 or past the end of the file
    OffsetBelowHeader,  // pixel-data offset inside the file or info header
    OffsetBeyondEnd,    // pixel-data offset past the end of the file or the passes' positions
};

// What a BMP's header says, read once through bounds checks: the marker word and header
// group of versions 1 and 2, and the pixel array every version hides in. Nothing else reads a
// BMP's header bytes.
struct BmpHeader {
    BmpDamage damage = BmpDamage::None;
    std::int64_t fileLength = 0;   // F, from the file system
    std::int16_t bitCount = 0;
    std::uint32_t markerWord = 0;
    std::int32_t pixelOffset = 0;  // O
    std::uint32_t infoSize = 0;    // the info header's size field
    std::int32_t width = 0;
    std::int32_t height = 0;       // negative when the top row comes first
    std::uint32_t compression = 0; // 0 also when the info header is too short to hold it
    // The header group at O; present only when all 12 bytes lie inside the file.
    bool hasHeaderGroup = false;
    std::array<std::uint8_t, 3> extension{};
    std::uint8_t passwordLength = 0;
    // The stored password bytes, passwordLength of them, when they lie inside the file.
    bool passwordReadable = false;
    std::vector<std::uint8_t> password;

    bool damaged() const { return damage != BmpDamage::None; }
    // Completed for a usable carrier, else why not. The checks run in this order and the
    // first that applies decides: damaged structure (Damaged); an info header too short to
    // hold the bit count (an OS/2 version 1 picture, whose offset 28 is no bit count:
    // NotUncompressed); a bit count other than 24 (Not24Bit); compressed pixels
    // (NotUncompressed); a marker word claiming data with no room for the header group
    // (Damaged).
    OutcomeKind Verdict() const;
    bool holdsData() const { return markerWord != 0; }
    std::uint8_t flagByte() const { return static_cast<std::uint8_t>(markerWord >> 24); }
    bool isProtected() const;
    bool isVersion1() const;
    // Version 2: an encrypted, authenticated payload and no stored password.
    bool isVersion2() const;
    std::uint32_t messageLength() const;
    // True when the stored length's groups lie inside the file (F - O bytes from O), so that
    // carriers written before the hide was bounded by the pixel array stay readable.
    bool storedMessageFits() const;
    // Bytes from O a new hide may use: the pixel array, min(F - O, stride x |height|), never
    // anything after it; 0 when the picture is refused as a carrier.
    std::int64_t hideCapacity() const;
    bool fitsNewHide(std::int64_t length) const;
    // The longest message a new hide takes; -1 when not even the header group fits.
    std::int64_t largestNewHide() const;
    // The window's capacity hint: the bytes a new hide may use, in units of 4092.
    std::int64_t capacityKilobytes() const;
    // Bytes per stored pixel row: three per pixel, padded to a multiple of four.
    std::int64_t rowStride() const;
    std::int64_t rowCount() const;
    // True when every row of the pixel array lies inside the file: what format version 3 needs,
    // since it spreads its message over all of it.
    bool pixelArrayWhole() const;
    // The colour samples format version 3 spreads a message over, every pixel's three; none
    // where the pixel array is cut short.
    std::uint64_t stealthSamples() const;
    // The stored extension as a file-name-safe text of three characters.
    std::string SafeExtension() const;
    std::string StoredPassword() const;
};

// Reads the header of the BMP open as `number`. Throws FileError only when the file itself
// cannot be read; a file too short or with sizes or offsets out of range comes back damaged.
BmpHeader ReadBmpHeader(FileService& files, int number);

}  // namespace velquist
