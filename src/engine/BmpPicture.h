// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "engine/StealthPicture.h"
#include "engine/format/BmpHeader.h"

namespace velquist {

class FileService;

// The samples of a 24-bit BMP: its pixel array as stored, each row's first 3 × width bytes, the
// row padding left out. Changed samples go back in place, a row's run of them in one write, and
// nothing else of the file is written: not the header, not the padding, not what follows.
class BmpPicture final : public StealthPicture {
public:
    // Reads the pixel array of the carrier open as `number`, whose header is `header` (usable,
    // with its pixel array whole). Throws FileError.
    BmpPicture(FileService& files, int number, const BmpHeader& header);

    const stealth::SampleGeometry& Geometry() const override { return geometry_; }
    std::span<std::uint8_t> Samples() override { return samples_; }
    // Written in place: the picture keeps its every name.
    std::optional<PathFacts> WriteBack(std::span<const std::uint32_t> changed, bool) override;

private:
    std::int64_t OffsetOf(std::uint64_t sample) const;

    FileService& files_;
    int number_;
    std::int64_t pixelOffset_;
    std::int64_t stride_;
    std::int64_t rowSamples_;
    stealth::SampleGeometry geometry_;
    std::vector<std::uint8_t> samples_;
};

}  // namespace velquist
