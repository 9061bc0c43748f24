// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/InspectProbe.h"

#include <algorithm>

#include "engine/format/CarrierHeader.h"
#include "engine/format/PngCarrier.h"
#include "probes/RawPicture.h"
#include "probes/Scratch.h"

namespace velquist::probes {

namespace {

bool SafeInAFileName(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '/' && c != '\\';
    });
}

CarrierRefusal RefusalOf(const RawPicture& raw) {
    if (!raw.usable()) return CarrierRefusal::Damaged;
    if (raw.infoSize() < 16) return CarrierRefusal::NotUncompressed;
    if (raw.bitCount() != 24) return CarrierRefusal::Not24Bit;
    if (raw.compression() != 0) return CarrierRefusal::NotUncompressed;
    if (raw.marker() != 0 && raw.pixelOffset() + 12 > raw.length()) return CarrierRefusal::Damaged;
    return CarrierRefusal::None;
}

void CheckFields(const CarrierHeader& h, const RawPicture& raw, Findings& f) {
    f.Expect(h.fileLength == raw.length(), "file length differs from the bytes");
    f.Expect(h.damaged() == !raw.usable(), "damage verdict differs from the raw offsets");
    if (!raw.hasFields()) return;
    f.Expect(h.markerWord == raw.marker(), "marker word differs from offset 6");
    f.Expect(h.pixelOffset == raw.pixelOffset(), "pixel offset differs from offset 10");
    f.Expect(h.bitCount == raw.bitCount(), "bit count differs from offset 28");
    f.Expect(h.storedMessageFits() == raw.holds(raw.marker() & 0x00FFFFFF),
             "stored length fits, says the reader, against the raw capacity");
    f.Expect(h.refusal() == RefusalOf(raw), "refusal differs from the raw fields");
    // A refused picture takes nothing; pixelArray() only knows the structural refusals.
    std::int64_t capacity = h.refusal() == CarrierRefusal::None ? raw.pixelArray() : 0;
    f.Expect(h.hideCapacity() == capacity, "hide capacity differs from the raw pixel array");
}

void CheckHeaderGroup(const CarrierHeader& h, const RawPicture& raw, Findings& f) {
    bool groupInside = raw.usable() && raw.pixelOffset() + 12 <= raw.length();
    f.Expect(h.hasHeaderGroup == groupInside, "header group presence differs from the bytes");
    if (!h.hasHeaderGroup) return;
    std::int64_t o = h.pixelOffset;
    for (int i = 0; i < 3; ++i)
        f.Expect(h.extension[i] == raw.At(o + i), "extension byte differs from the bytes");
    f.Expect(h.passwordLength == raw.At(o + 3), "password length differs from the bytes");
    bool readable = o + 4 + h.passwordLength <= raw.length();
    f.Expect(h.passwordReadable == readable, "password readability differs from the bytes");
    std::string password = h.StoredPassword();
    if (!readable) return;
    f.Expect(password.size() == h.passwordLength, "stored password has the wrong length");
    for (std::size_t i = 0; i < password.size() && i < h.passwordLength; ++i)
        f.Expect(static_cast<std::uint8_t>(password[i]) == raw.At(o + 4 + i),
                 "stored password differs from the bytes");
}

bool StartsAsPng(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin());
}

// A PNG has no BMP fields: no marker word, no header group, nothing for versions 1 and 2; its
// verdict is the PNG library's, and a usable one offers its carrying pixels' samples.
void CheckPng(const CarrierHeader& h, std::span<const std::uint8_t> bytes, Findings& f) {
    f.Expect(h.isPng(), "a PNG read as a BMP");
    f.Expect(h.markerWord == 0 && !h.holdsData() && !h.hasHeaderGroup, "a PNG with a marker");
    f.Expect(h.hideCapacity() == 0 && h.capacityKilobytes() == 0, "a PNG with room for version 1");
    png::DecodedPng decoded = png::DecodePng(bytes);
    const CarrierRefusal expected = decoded.layout.verdict == png::PngVerdict::Usable ? CarrierRefusal::None
                                    : decoded.layout.verdict == png::PngVerdict::Damaged
                                        ? CarrierRefusal::Damaged
                                        : CarrierRefusal::UnsupportedPng;
    f.Expect(h.refusal() == expected, "PNG refusal differs from the PNG library's verdict");
    if (h.refusal() != CarrierRefusal::None) {
        f.Expect(h.stealthSamples() == 0 && !h.png, "a refused PNG with samples");
        return;
    }
    f.Expect(h.bitCount == 8 * decoded.layout.channels(), "PNG bit count differs from IHDR");
    f.Expect(h.stealthSamples() == 3 * decoded.pixels.CountCarrying(),
             "PNG samples differ from its carrying pixels");
}

}  // namespace

Findings InspectProbe::Run(std::span<const std::uint8_t> bytes) {
    Findings f;
    files_.Clear();
    files_.AddFolder(kScratch);
    files_.Put(ScratchFile("carrier.bmp"), {bytes.begin(), bytes.end()});
    RawPicture raw(bytes);
    try {
        files_.OpenReadOnly(1, ScratchFile("carrier.bmp"));
        CarrierHeader header = ReadCarrierHeader(files_, 1);
        std::string ext = header.SafeExtension();
        f.Expect(ext.size() == 3 && SafeInAFileName(ext), "unsafe extension: " + ext);
        if (StartsAsPng(bytes)) {
            CheckPng(header, bytes, f);
        } else {
            CheckFields(header, raw, f);
            CheckHeaderGroup(header, raw, f);
        }
        files_.Close(1);
    } catch (const FileError& e) {
        f.Expect(false, std::string("inspection threw: ") + e.what());
    }
    f.Expect(std::ranges::equal(files_.View(ScratchFile("carrier.bmp")), raw.bytes()),
             "inspection changed the carrier");
    return f;
}

}  // namespace velquist::probes
