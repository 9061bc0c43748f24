// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "engine/format/Outcome.h"
#include "engine/format/PictureKind.h"

namespace velquist {

class StealthPicture;
struct BmpHeader;

// A picture open as a carrier, one class for each kind of picture file. A look (inspecting
// it, the window's choice of carrier) learns only what the kind's header or chunks say and
// never decodes the pixels; a command decodes the samples once, under the picture's lock, and
// works on that one decode to the end.
class CarrierPicture {
public:
    virtual ~CarrierPicture() = default;

    virtual PictureKind Kind() const = 0;
    // Completed when the picture can carry, else why not: Damaged, Not24Bit, NotUncompressed or
    // UnsupportedPicture, as far as the header tells; the decode may still find damage.
    virtual OutcomeKind Verdict() const = 0;
    // The verdict, about the picture at `path`.
    Outcome VerdictOn(const std::string& path) const {
        return Outcome::About(Verdict(), Kind(), path);
    }
    virtual std::int16_t BitCount() const = 0;

    // The BMP header whose marker word and header group versions 1 and 2 use; null for a kind
    // that carries version 3 only.
    virtual const BmpHeader* Marks() const = 0;
    bool CarriesVersion3Only() const { return Marks() == nullptr; }
    // Completed when the picture takes a hide in `formatVersion`; NeedsFormat3 where it carries
    // version 3 only and another was asked for.
    Outcome TakesFormat(int formatVersion, const std::string& path) const;

    // True when all the samples a version-3 message spreads over lie in the file.
    virtual bool CoverWhole() const = 0;
    // Those samples as the header counts them: a BMP's and an RGB PNG's exactly, an RGBA PNG's
    // with every pixel, since only the decode tells the fully transparent ones, which carry none.
    virtual std::uint64_t LookSamples() const = 0;

    // Decodes the samples, once: Completed, Damaged where the pixels do not hold the picture the
    // header announces, UnsupportedPicture where they do not fit in this machine's memory.
    // Throws FileError.
    virtual OutcomeKind Decode() = 0;
    // The decoded samples; only after Decode completed.
    virtual StealthPicture& Samples() = 0;
};

}  // namespace velquist
