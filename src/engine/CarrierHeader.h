#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velquist {

class NumberedFiles;

enum class CarrierDamage {
    None,
    TooShort,           // shorter than the header fields the program reads
    OffsetBelowHeader,  // pixel-data offset inside the file header
    OffsetBeyondEnd,    // pixel-data offset past the end of the file
};

// What a carrier's header says, read once through bounds checks. Nothing else reads the
// carrier's header bytes.
struct CarrierHeader {
    CarrierDamage damage = CarrierDamage::None;
    std::int64_t fileLength = 0;   // F, from the file system
    std::int16_t bitCount = 0;
    std::uint32_t markerWord = 0;
    std::int32_t pixelOffset = 0;  // O
    // The header group at O; present only when all 12 bytes lie inside the file.
    bool hasHeaderGroup = false;
    std::array<std::uint8_t, 3> extension{};
    std::uint8_t passwordLength = 0;
    // The stored password bytes, passwordLength of them, when they lie inside the file.
    bool passwordReadable = false;
    std::vector<std::uint8_t> password;

    bool damaged() const { return damage != CarrierDamage::None; }
    bool holdsData() const { return markerWord != 0; }
    std::uint8_t flagByte() const { return static_cast<std::uint8_t>(markerWord >> 24); }
    bool isProtected() const;
    bool isVersion1() const;
    std::uint32_t messageLength() const;
    // True when the stored length's groups lie inside the file.
    bool storedMessageFits() const;
    // The stored extension as a file-name-safe text of three characters.
    std::string SafeExtension() const;
    std::string StoredPassword() const;
};

// Reads the header of the carrier open as `number`. Throws FileError only when the file
// itself cannot be read; a file too short or with offsets out of range comes back damaged.
CarrierHeader ReadCarrierHeader(NumberedFiles& files, int number);

// The character a carrier byte becomes in a file name: printable ASCII other than the
// folder separators stays, anything else becomes "_".
char SafeFileNameChar(std::uint8_t byte);

}  // namespace velquist
