#include "engine/CarrierHeader.h"

#include <algorithm>

#include "engine/CarrierFormat.h"
#include "platform/NumberedFiles.h"

namespace velquist {

using namespace carrier;

namespace {

std::uint32_t LE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The header group plus the longest password a length byte can announce.
constexpr std::int64_t kHeaderGroupReadLimit = kPasswordOffset + 255;

}  // namespace

bool CarrierHeader::isProtected() const { return flagByte() == kProtectedFlagByte; }

bool CarrierHeader::isVersion1() const { return (markerWord & kVersionMask) == kVersion1; }

std::uint32_t CarrierHeader::messageLength() const { return markerWord & kLengthMask; }

bool CarrierHeader::storedMessageFits() const {
    return !damaged() && MessageFits(messageLength(), fileLength, pixelOffset);
}

char SafeFileNameChar(std::uint8_t byte) {
    if (byte < 0x20 || byte >= 0x7F || byte == '/' || byte == '\\') return '_';
    return static_cast<char>(byte);
}

std::string CarrierHeader::SafeExtension() const {
    std::string ext;
    for (std::uint8_t b : extension) ext.push_back(SafeFileNameChar(b));
    return ext;
}

std::string CarrierHeader::StoredPassword() const {
    return std::string(password.begin(), password.end());
}

CarrierHeader ReadCarrierHeader(NumberedFiles& files, int number) {
    CarrierHeader header;
    header.fileLength = files.Length(number);
    if (header.fileLength < kMinHeaderLength) {
        header.damage = CarrierDamage::TooShort;
        return header;
    }
    std::uint8_t fixed[kMinHeaderLength];
    files.GetBlock(number, 1, fixed);
    header.markerWord = LE32(fixed + kMarkerOffset);
    header.pixelOffset = static_cast<std::int32_t>(LE32(fixed + kPixelOffsetField));
    header.bitCount = static_cast<std::int16_t>(fixed[kBitCountOffset] |
                                                (fixed[kBitCountOffset + 1] << 8));
    if (header.pixelOffset < kMinPixelOffset) {
        header.damage = CarrierDamage::OffsetBelowHeader;
        return header;
    }
    if (header.pixelOffset > header.fileLength) {
        header.damage = CarrierDamage::OffsetBeyondEnd;
        return header;
    }
    std::int64_t available = std::min<std::int64_t>(header.fileLength - header.pixelOffset,
                                                     kHeaderGroupReadLimit);
    if (available < kHeaderGroupSize) return header;
    std::vector<std::uint8_t> group(static_cast<std::size_t>(available));
    files.GetBlock(number, header.pixelOffset + 1, group);
    header.hasHeaderGroup = true;
    std::copy_n(group.begin() + kExtensionOffset, kExtensionLength, header.extension.begin());
    header.passwordLength = group[kPasswordLengthOffset];
    if (kPasswordOffset + header.passwordLength <= available) {
        header.passwordReadable = true;
        header.password.assign(group.begin() + kPasswordOffset,
                               group.begin() + kPasswordOffset + header.passwordLength);
    }
    return header;
}

}  // namespace velquist
