// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/CarrierPicture.h"
#include "engine/png/PngLayout.h"

namespace velquist {

class FileService;
class PngPicture;

// A PNG: judged from its chunks alone, without reading its image data; it carries version 3
// only, since it has no reserved header fields for a marker word. A command reads it whole and
// decodes it once, checking every CRC and the image data then.
class PngCarrier final : public CarrierPicture {
public:
    // Looks at the PNG of `length` bytes open as `number`, named `path`. Throws FileError.
    PngCarrier(FileService& files, int number, std::string path, std::int64_t length);
    ~PngCarrier() override;

    PictureKind Kind() const override { return PictureKind::Png; }
    OutcomeKind Verdict() const override;
    // 24 for RGB, 32 for RGBA; what IHDR's colour type and bit depth give for the others.
    std::int16_t BitCount() const override;
    const BmpHeader* Marks() const override { return nullptr; }
    // Decoded whole or refused: a usable PNG's samples all lie in it.
    bool CoverWhole() const override { return Verdict() == OutcomeKind::Completed; }
    std::uint64_t LookSamples() const override;
    OutcomeKind Decode() override;
    StealthPicture& Samples() override;

private:
    OutcomeKind DecodeOnce();

    FileService& files_;
    int number_;
    std::string path_;
    std::int64_t length_;
    png::PngLayout layout_;
    // What the decode came to, once it ran.
    std::optional<OutcomeKind> decoded_;
    std::unique_ptr<PngPicture> samples_;
};

}  // namespace velquist
