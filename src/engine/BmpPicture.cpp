// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BmpPicture.h"

#include <algorithm>

#include "platform/FileService.h"

namespace velquist {

namespace {

// Rows read at a time: a few megabytes, whatever the width.
constexpr std::int64_t kRowsPerRead = 256;

}  // namespace

BmpPicture::BmpPicture(FileService& files, int number, const BmpHeader& header)
    : files_(files),
      number_(number),
      pixelOffset_(header.pixelOffset),
      stride_(header.rowStride()),
      rowSamples_(3 * std::int64_t{header.width}),
      // A positive height stores the bottom row first.
      geometry_(stealth::SampleGeometry::Bmp(static_cast<std::uint32_t>(header.width),
                                             static_cast<std::uint32_t>(header.rowCount()),
                                             header.height > 0)) {
    const std::int64_t rows = header.rowCount();
    samples_.resize(static_cast<std::size_t>(geometry_.SampleCount()));
    std::vector<std::uint8_t> block;
    for (std::int64_t row = 0; row < rows; row += kRowsPerRead) {
        std::int64_t count = std::min(kRowsPerRead, rows - row);
        block.resize(static_cast<std::size_t>(count * stride_));
        files_.ReadAt(number_, pixelOffset_ + row * stride_, block);
        for (std::int64_t r = 0; r < count; ++r)
            std::copy_n(block.begin() + r * stride_, rowSamples_,
                        samples_.begin() + (row + r) * rowSamples_);
    }
}

std::int64_t BmpPicture::OffsetOf(std::uint64_t sample) const {
    auto s = static_cast<std::int64_t>(sample);
    return pixelOffset_ + (s / rowSamples_) * stride_ + s % rowSamples_;
}

std::optional<PathFacts> BmpPicture::WriteBack(std::span<const std::uint32_t> changed, bool) {
    std::size_t i = 0;
    while (i < changed.size()) {
        // The run from this change to the last one of the same row: the samples between are
        // written with the values they have, the padding never.
        std::int64_t row = changed[i] / rowSamples_;
        std::size_t last = i;
        while (last + 1 < changed.size() && changed[last + 1] / rowSamples_ == row) ++last;
        std::span<const std::uint8_t> run(samples_.data() + changed[i],
                                          changed[last] - changed[i] + 1);
        files_.WriteAt(number_, OffsetOf(changed[i]), run);
        i = last + 1;
    }
    files_.Flush(number_);
    return std::nullopt;
}

}  // namespace velquist
