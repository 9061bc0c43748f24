// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/InspectProbe.h"

#include <algorithm>

#include "engine/CarrierPicture.h"
#include "engine/PictureKinds.h"
#include "engine/StealthPicture.h"
#include "engine/format/BmpHeader.h"
#include "engine/png/PngCodec.h"
#include "probes/RawPicture.h"
#include "probes/Scratch.h"

namespace velquist::probes {

namespace {

bool SafeInAFileName(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '/' && c != '\\';
    });
}

OutcomeKind RefusalOf(const RawPicture& raw) {
    if (!raw.usable()) return OutcomeKind::Damaged;
    if (raw.infoSize() < 16) return OutcomeKind::NotUncompressed;
    if (raw.bitCount() != 24) return OutcomeKind::Not24Bit;
    if (raw.compression() != 0) return OutcomeKind::NotUncompressed;
    if (raw.marker() != 0 && raw.pixelOffset() + 12 > raw.length()) return OutcomeKind::Damaged;
    return OutcomeKind::Completed;
}

void CheckFields(const BmpHeader& h, const RawPicture& raw, Findings& f) {
    f.Expect(h.fileLength == raw.length(), "file length differs from the bytes");
    f.Expect(h.damaged() == !raw.usable(), "damage verdict differs from the raw offsets");
    if (!raw.hasFields()) return;
    f.Expect(h.markerWord == raw.marker(), "marker word differs from offset 6");
    f.Expect(h.pixelOffset == raw.pixelOffset(), "pixel offset differs from offset 10");
    f.Expect(h.bitCount == raw.bitCount(), "bit count differs from offset 28");
    f.Expect(h.storedMessageFits() == raw.holds(raw.marker() & 0x00FFFFFF),
             "stored length fits, says the reader, against the raw capacity");
    f.Expect(h.Verdict() == RefusalOf(raw), "refusal differs from the raw fields");
    // A refused picture takes nothing; pixelArray() only knows the structural refusals.
    std::int64_t capacity = h.Verdict() == OutcomeKind::Completed ? raw.pixelArray() : 0;
    f.Expect(h.hideCapacity() == capacity, "hide capacity differs from the raw pixel array");
}

void CheckHeaderGroup(const BmpHeader& h, const RawPicture& raw, Findings& f) {
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

// The PNG library's verdict, as a picture's outcome says it.
bool Agrees(OutcomeKind verdict, const png::PngLayout& layout) {
    return (verdict == OutcomeKind::Completed) == (layout.verdict == png::PngVerdict::Usable) &&
           (verdict == OutcomeKind::Damaged) == (layout.verdict == png::PngVerdict::Damaged) &&
           (verdict == OutcomeKind::UnsupportedPicture) == (layout.verdict == png::PngVerdict::Unsupported);
}

// A PNG has no BMP fields: no marker word, no header group, nothing for versions 1 and 2. Its
// look judges it from its chunks as the PNG library does, but for the CRCs it leaves unread;
// its decode agrees with the library's and offers the carrying pixels' samples.
void CheckPng(CarrierPicture& picture, std::span<const std::uint8_t> bytes, Findings& f) {
    f.Expect(picture.Kind() == PictureKind::Png && !picture.Marks(), "a PNG read as a BMP");
    png::PngLayout parsed = png::ParsePng(bytes);
    if (parsed.damage != png::PngDamage::ChunkCrc)
        f.Expect(Agrees(picture.Verdict(), parsed), "PNG look differs from the PNG library's verdict");
    if (picture.Verdict() != OutcomeKind::Completed) {
        f.Expect(picture.LookSamples() == 0, "a refused PNG with samples");
        return;
    }
    f.Expect(picture.BitCount() == 8 * parsed.channels(), "PNG bit count differs from IHDR");
    f.Expect(picture.LookSamples() == 3 * parsed.pixelCount(), "PNG look counts other than every pixel");
    png::DecodedPng decoded = png::DecodePng(bytes);
    f.Expect(Agrees(picture.Decode(), decoded.layout), "PNG decode differs from the PNG library's");
    if (!decoded.layout.usable()) return;
    f.Expect(picture.Samples().Geometry().SampleCount() == 3 * decoded.pixels.CountCarrying(),
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
        std::unique_ptr<CarrierPicture> picture = ReadCarrierPicture(files_, 1, ScratchFile("carrier.bmp"));
        if (const BmpHeader* header = picture->Marks()) {
            std::string ext = header->SafeExtension();
            f.Expect(ext.size() == 3 && SafeInAFileName(ext), "unsafe extension: " + ext);
            f.Expect(!png::StartsAsPng(bytes), "a PNG read as a BMP");
            f.Expect(picture->Verdict() == header->Verdict(), "the BMP's verdict is not its header's");
            CheckFields(*header, raw, f);
            CheckHeaderGroup(*header, raw, f);
        } else {
            CheckPng(*picture, bytes, f);
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
