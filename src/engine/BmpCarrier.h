// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "engine/CarrierPicture.h"
#include "engine/format/BmpHeader.h"

namespace velquist {

class BmpPicture;
class FileService;

// A BMP: its header says everything a look needs, and every format hides in its pixel array,
// versions 1 and 2 behind the marker word in its header.
class BmpCarrier final : public CarrierPicture {
public:
    // Reads the header of the BMP open as `number`. Throws FileError.
    BmpCarrier(FileService& files, int number);
    ~BmpCarrier() override;

    PictureKind Kind() const override { return PictureKind::Bmp; }
    OutcomeKind Verdict() const override { return header_.Verdict(); }
    std::int16_t BitCount() const override { return header_.bitCount; }
    const BmpHeader* Marks() const override { return &header_; }
    bool CoverWhole() const override { return header_.pixelArrayWhole(); }
    std::uint64_t LookSamples() const override { return header_.stealthSamples(); }
    // Reads the pixel array; throws std::bad_alloc when it does not fit in memory.
    OutcomeKind Decode() override;
    StealthPicture& Samples() override;

private:
    FileService& files_;
    int number_;
    BmpHeader header_;
    std::unique_ptr<BmpPicture> samples_;
};

}  // namespace velquist
