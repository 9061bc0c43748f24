// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/format/CarrierHeader.h"

#include <algorithm>
#include <new>
#include <span>

#include "engine/format/CarrierFormat.h"
#include "engine/format/Format2.h"
#include "engine/format/PngCarrier.h"
#include "engine/format/StoredNames.h"
#include "platform/FileService.h"

namespace velquist {

using namespace carrier;

namespace {

std::uint32_t LE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The header group plus the longest password a length byte can announce.
constexpr std::int64_t kHeaderGroupReadLimit = kPasswordOffset + 255;

// Bytes per pixel row: three per pixel, padded to a multiple of four.
std::int64_t Stride(std::int32_t width) {
    if (width <= 0) return 0;
    return (std::int64_t{width} * kBytesPerPixel + 3) / 4 * 4;
}

// The first damage of the fields read from the start of the file, in the order a reader
// meets them. `fixed` holds kFixedFieldsLength bytes, or the whole file when it is shorter.
CarrierDamage DamageOf(const CarrierHeader& h, const std::uint8_t* fixed) {
    if (fixed[0] != 'B' || fixed[1] != 'M') return CarrierDamage::NotBitmap;
    if (h.infoSize < kMinInfoSize || h.infoSize > h.fileLength - kFileHeaderSize)
        return CarrierDamage::InfoSizeOutOfRange;
    std::int64_t offset = h.pixelOffset;
    if (offset < kFileHeaderSize + h.infoSize) return CarrierDamage::OffsetBelowHeader;
    if (offset > h.fileLength || offset > kMaxPixelOffset) return CarrierDamage::OffsetBeyondEnd;
    return CarrierDamage::None;
}

void ReadHeaderGroup(FileService& files, int number, CarrierHeader& header) {
    std::int64_t offset = header.pixelOffset;
    std::int64_t available = std::min<std::int64_t>(header.fileLength - offset, kHeaderGroupReadLimit);
    if (available < kHeaderGroupSize) return;
    std::vector<std::uint8_t> group(static_cast<std::size_t>(available));
    files.ReadAt(number, offset, group);
    header.hasHeaderGroup = true;
    std::copy_n(group.begin() + kExtensionOffset, kExtensionLength, header.extension.begin());
    header.passwordLength = group[kPasswordLengthOffset];
    if (kPasswordOffset + header.passwordLength <= available) {
        header.passwordReadable = true;
        header.password.assign(group.begin() + kPasswordOffset,
                               group.begin() + kPasswordOffset + header.passwordLength);
    }
}

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool StartsAsPng(FileService& files, int number, std::int64_t length) {
    if (length < static_cast<std::int64_t>(kPngSignature.size())) return false;
    std::array<std::uint8_t, kPngSignature.size()> start{};
    files.ReadAt(number, 0, start);
    return start == kPngSignature;
}

// Bits per pixel as the IHDR's colour type and bit depth give them.
std::int16_t PngBitsPerPixel(const png::PngLayout& layout) {
    int channels = 1;
    switch (layout.colourType) {
        case 2: channels = 3; break;
        case 4: channels = 2; break;
        case 6: channels = 4; break;
        default: break;
    }
    return static_cast<std::int16_t>(channels * layout.bitDepth);
}

void ReadPng(FileService& files, int number, CarrierHeader& header) {
    header.container = CarrierContainer::Png;
    if (header.fileLength > kMaxPngFileLength) {
        header.unsupportedPng = true;
        return;
    }
    auto carrier = std::make_shared<PngCarrier>();
    try {
        carrier->file.resize(static_cast<std::size_t>(header.fileLength));
        files.ReadAt(number, 0, carrier->file);
        carrier->decoded = png::DecodePng(carrier->file);
    } catch (const std::bad_alloc&) {
        // Too large a file or too many pixels for this machine's memory, though within what
        // PNG carriers may have.
        header.unsupportedPng = true;
        return;
    }
    const png::PngLayout& layout = carrier->decoded.layout;
    header.width = static_cast<std::int32_t>(layout.width);
    header.height = static_cast<std::int32_t>(layout.height);
    header.bitCount = PngBitsPerPixel(layout);
    switch (layout.verdict) {
        case png::PngVerdict::Damaged: header.damage = CarrierDamage::Png; return;
        case png::PngVerdict::Unsupported: header.unsupportedPng = true; return;
        case png::PngVerdict::Usable: break;
    }
    carrier->carryingPixels = carrier->decoded.pixels.CountCarrying();
    header.png = std::move(carrier);
}

}  // namespace

CarrierRefusal CarrierHeader::refusal() const {
    if (damaged()) return CarrierRefusal::Damaged;
    if (isPng()) return unsupportedPng || !png ? CarrierRefusal::UnsupportedPng : CarrierRefusal::None;
    if (infoSize < kBitCountInfoSize) return CarrierRefusal::NotUncompressed;
    if (bitCount != kRequiredBitCount) return CarrierRefusal::Not24Bit;
    if (compression != kUncompressed) return CarrierRefusal::NotUncompressed;
    if (holdsData() && !hasHeaderGroup) return CarrierRefusal::Damaged;
    return CarrierRefusal::None;
}

std::int64_t CarrierHeader::hideCapacity() const {
    if (refusal() != CarrierRefusal::None || isPng()) return 0;
    std::int64_t room = fileLength - pixelOffset;
    std::int64_t stride = Stride(width);
    std::int64_t rows = height < 0 ? -std::int64_t{height} : std::int64_t{height};
    if (stride == 0 || rows == 0) return 0;
    // Compared by division: stride x rows can pass 2^63 for crafted sizes.
    return rows > room / stride ? room : stride * rows;
}

bool CarrierHeader::fitsNewHide(std::int64_t length) const {
    return MessageFitsIn(length, hideCapacity());
}

std::int64_t CarrierHeader::largestNewHide() const { return LargestMessageIn(hideCapacity()); }

std::int64_t CarrierHeader::capacityKilobytes() const { return hideCapacity() / kCapacityUnit; }

std::int64_t CarrierHeader::rowStride() const { return Stride(width); }

std::int64_t CarrierHeader::rowCount() const {
    return height < 0 ? -std::int64_t{height} : std::int64_t{height};
}

std::uint64_t CarrierHeader::stealthSamples() const {
    if (!pixelArrayWhole()) return 0;
    if (isPng()) return 3 * png->carryingPixels;
    return 3 * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(rowCount());
}

bool CarrierHeader::pixelArrayWhole() const {
    if (refusal() != CarrierRefusal::None) return false;
    if (isPng()) return true;  // decoded whole, or refused
    if (rowStride() == 0 || rowCount() == 0) return false;
    // Compared by division: stride x rows can pass 2^63 for crafted sizes.
    return rowCount() <= (fileLength - pixelOffset) / rowStride();
}

bool CarrierHeader::isProtected() const { return flagByte() == kProtectedFlagByte; }

bool CarrierHeader::isVersion1() const { return (markerWord & kVersionMask) == kVersion1; }

bool CarrierHeader::isVersion2() const {
    return (markerWord & kVersionMask) == format2::kVersion2;
}

std::uint32_t CarrierHeader::messageLength() const { return markerWord & kLengthMask; }

bool CarrierHeader::storedMessageFits() const {
    return !damaged() && MessageFits(messageLength(), fileLength, pixelOffset);
}

std::string CarrierHeader::SafeExtension() const {
    std::string ext;
    for (std::uint8_t b : extension) ext.push_back(stored_names::SafeFileNameChar(b));
    return ext;
}

std::string CarrierHeader::StoredPassword() const {
    return std::string(password.begin(), password.end());
}

CarrierHeader ReadCarrierHeader(FileService& files, int number) {
    CarrierHeader header;
    header.fileLength = files.Length(number);
    if (StartsAsPng(files, number, header.fileLength)) {
        ReadPng(files, number, header);
        return header;
    }
    if (header.fileLength < kMinHeaderLength) {
        header.damage = CarrierDamage::TooShort;
        return header;
    }
    std::uint8_t fixed[kFixedFieldsLength] = {};
    files.ReadAt(number, 0,
                 std::span(fixed, static_cast<std::size_t>(
                                      std::min(header.fileLength, kFixedFieldsLength))));
    header.markerWord = LE32(fixed + kMarkerOffset);
    header.pixelOffset = static_cast<std::int32_t>(LE32(fixed + kPixelOffsetField));
    header.infoSize = LE32(fixed + kInfoSizeOffset);
    header.width = static_cast<std::int32_t>(LE32(fixed + kWidthOffset));
    header.height = static_cast<std::int32_t>(LE32(fixed + kHeightOffset));
    header.bitCount = static_cast<std::int16_t>(fixed[kBitCountOffset] |
                                                (fixed[kBitCountOffset + 1] << 8));
    header.damage = DamageOf(header, fixed);
    if (header.damaged()) return header;
    // Inside the info header, so inside the file, when the header is this long.
    if (header.infoSize >= kCompressionInfoSize)
        header.compression = LE32(fixed + kCompressionOffset);
    ReadHeaderGroup(files, number, header);
    return header;
}

}  // namespace velquist
