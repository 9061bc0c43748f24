// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/format/BmpHeader.h"

#include <algorithm>
#include <span>

#include "engine/bytes/ByteReader.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/Format2.h"
#include "engine/format/StoredNames.h"
#include "platform/FileService.h"

namespace velquist {

using namespace carrier;

namespace {

// The header group plus the longest password a length byte can announce.
constexpr std::int64_t kHeaderGroupReadLimit = kPasswordOffset + 255;

// Bytes per pixel row: three per pixel, padded to a multiple of four.
std::int64_t Stride(std::int32_t width) {
    if (width <= 0) return 0;
    return (std::int64_t{width} * kBytesPerPixel + 3) / 4 * 4;
}

// The first damage of the fields read from the start of the file, in the order a reader
// meets them.
BmpDamage DamageOf(const BmpHeader& h, bool bitmap) {
    if (!bitmap) return BmpDamage::NotBitmap;
    if (h.infoSize < kMinInfoSize || h.infoSize > h.fileLength - kFileHeaderSize)
        return BmpDamage::InfoSizeOutOfRange;
    std::int64_t offset = h.pixelOffset;
    if (offset < kFileHeaderSize + h.infoSize) return BmpDamage::OffsetBelowHeader;
    if (offset > h.fileLength || offset > kMaxPixelOffset) return BmpDamage::OffsetBeyondEnd;
    return BmpDamage::None;
}

// The fields up to the bit count; throws ShortInput when the file ends before them. Returns
// whether the file starts with "BM".
bool ReadFixedFields(bytes::ByteReader& r, BmpHeader& h) {
    std::span<const std::uint8_t> magic = r.Bytes(2);
    r.Seek(kMarkerOffset);
    h.markerWord = r.U32LE();
    h.pixelOffset = static_cast<std::int32_t>(r.U32LE());
    h.infoSize = r.U32LE();
    h.width = static_cast<std::int32_t>(r.U32LE());
    h.height = static_cast<std::int32_t>(r.U32LE());
    r.Seek(kBitCountOffset);
    h.bitCount = static_cast<std::int16_t>(r.U16LE());
    return magic[0] == 'B' && magic[1] == 'M';
}

void ReadHeaderGroup(FileService& files, int number, BmpHeader& header) {
    std::int64_t offset = header.pixelOffset;
    std::int64_t available = std::min<std::int64_t>(header.fileLength - offset, kHeaderGroupReadLimit);
    if (available < kHeaderGroupSize) return;
    std::vector<std::uint8_t> group(static_cast<std::size_t>(available));
    files.ReadAt(number, offset, group);
    bytes::ByteReader r(group);
    std::span<const std::uint8_t> extension = r.Bytes(kExtensionLength);
    std::copy(extension.begin(), extension.end(), header.extension.begin());
    header.hasHeaderGroup = true;
    header.passwordLength = r.U8();
    if (!r.Has(header.passwordLength)) return;
    std::span<const std::uint8_t> password = r.Bytes(header.passwordLength);
    header.passwordReadable = true;
    header.password.assign(password.begin(), password.end());
}

}  // namespace

OutcomeKind BmpHeader::Verdict() const {
    if (damaged()) return OutcomeKind::Damaged;
    if (infoSize < kBitCountInfoSize) return OutcomeKind::NotUncompressed;
    if (bitCount != kRequiredBitCount) return OutcomeKind::Not24Bit;
    if (compression != kUncompressed) return OutcomeKind::NotUncompressed;
    if (holdsData() && !hasHeaderGroup) return OutcomeKind::Damaged;
    return OutcomeKind::Completed;
}

std::int64_t BmpHeader::hideCapacity() const {
    if (Verdict() != OutcomeKind::Completed) return 0;
    std::int64_t room = fileLength - pixelOffset;
    std::int64_t stride = Stride(width);
    std::int64_t rows = rowCount();
    if (stride == 0 || rows == 0) return 0;
    // Compared by division: stride x rows can pass 2^63 for crafted sizes.
    return rows > room / stride ? room : stride * rows;
}

bool BmpHeader::fitsNewHide(std::int64_t length) const {
    return MessageFitsIn(length, hideCapacity());
}

std::int64_t BmpHeader::largestNewHide() const { return LargestMessageIn(hideCapacity()); }

std::int64_t BmpHeader::capacityKilobytes() const { return hideCapacity() / kCapacityUnit; }

std::int64_t BmpHeader::rowStride() const { return Stride(width); }

std::int64_t BmpHeader::rowCount() const {
    return height < 0 ? -std::int64_t{height} : std::int64_t{height};
}

std::uint64_t BmpHeader::stealthSamples() const {
    if (!pixelArrayWhole()) return 0;
    return 3 * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(rowCount());
}

bool BmpHeader::pixelArrayWhole() const {
    if (Verdict() != OutcomeKind::Completed) return false;
    if (rowStride() == 0 || rowCount() == 0) return false;
    // Compared by division: stride x rows can pass 2^63 for crafted sizes.
    return rowCount() <= (fileLength - pixelOffset) / rowStride();
}

bool BmpHeader::isProtected() const { return flagByte() == kProtectedFlagByte; }

bool BmpHeader::isVersion1() const { return (markerWord & kVersionMask) == kVersion1; }

bool BmpHeader::isVersion2() const { return (markerWord & kVersionMask) == format2::kVersion2; }

std::uint32_t BmpHeader::messageLength() const { return markerWord & kLengthMask; }

bool BmpHeader::storedMessageFits() const {
    return !damaged() && MessageFits(messageLength(), fileLength, pixelOffset);
}

std::string BmpHeader::SafeExtension() const {
    std::string ext;
    for (std::uint8_t b : extension) ext.push_back(stored_names::SafeFileNameChar(b));
    return ext;
}

std::string BmpHeader::StoredPassword() const {
    return std::string(password.begin(), password.end());
}

BmpHeader ReadBmpHeader(FileService& files, int number) {
    BmpHeader header;
    header.fileLength = files.Length(number);
    std::array<std::uint8_t, kFixedFieldsLength> fixed{};
    std::span<std::uint8_t> start =
        std::span(fixed).first(static_cast<std::size_t>(std::min(header.fileLength, kFixedFieldsLength)));
    files.ReadAt(number, 0, start);
    bytes::ByteReader r(start);
    bool bitmap = false;
    try {
        bitmap = ReadFixedFields(r, header);
    } catch (const bytes::ShortInput&) {
        header.damage = BmpDamage::TooShort;
        return header;
    }
    header.damage = DamageOf(header, bitmap);
    if (header.damaged()) return header;
    // Inside the info header, so inside the file, when the header is this long.
    if (header.infoSize >= kCompressionInfoSize) {
        r.Seek(kCompressionOffset);
        header.compression = r.U32LE();
    }
    ReadHeaderGroup(files, number, header);
    return header;
}

}  // namespace velquist
