// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PngPicture.h"

#include <algorithm>

#include "engine/FileNumbers.h"
#include "engine/PictureRewrite.h"
#include "engine/format/PngCarrier.h"
#include "platform/SequentialWriter.h"

namespace velquist {

namespace {

stealth::SampleGeometry GeometryOf(const png::PngPixels& pixels, std::uint64_t carrying) {
    if (carrying == pixels.pixelCount()) return stealth::SampleGeometry::Png(pixels.width, pixels.height);
    return stealth::SampleGeometry::Png(pixels.width, pixels.height, pixels.CarryingMask());
}

}  // namespace

PngPicture::PngPicture(FileService& files, int number, std::string path,
                       std::shared_ptr<const PngCarrier> png, PathFacts& identity,
                       bool allowOtherLinks)
    : files_(files), number_(number), path_(std::move(path)), png_(std::move(png)),
      identity_(identity), allowOtherLinks_(allowOtherLinks), geometry_(GeometryOf(png_->decoded.pixels, png_->carryingPixels)) {
    const png::PngPixels& pixels = png_->decoded.pixels;
    if (pixels.channels == 3) {
        samples_ = pixels.samples;
        return;
    }
    samples_.reserve(3 * png_->carryingPixels);
    for (std::size_t pixel = 0; pixel < pixels.pixelCount(); ++pixel) {
        if (!pixels.Carries(pixel)) continue;
        const std::uint8_t* rgba = pixels.samples.data() + 4 * pixel;
        samples_.insert(samples_.end(), rgba, rgba + 3);
    }
}

// The decoded pixels with the samples put back (alpha as it was), compressed anew.
std::vector<std::uint8_t> PngPicture::Encoded() const {
    png::PngPixels pixels = png_->decoded.pixels;
    if (pixels.channels == 3) {
        pixels.samples = samples_;
    } else {
        const std::uint8_t* next = samples_.data();
        for (std::size_t pixel = 0; pixel < pixels.pixelCount(); ++pixel) {
            if (!pixels.Carries(pixel)) continue;
            std::copy_n(next, 3, pixels.samples.data() + 4 * pixel);
            next += 3;
        }
    }
    return png::EncodePng(png_->file, png_->decoded.layout, pixels);
}

void PngPicture::WriteBack(std::span<const std::uint32_t> changed) {
    if (changed.empty()) return;
    // Before the encoding: a picture that may not be rewritten is refused at once.
    PictureRewrite rewrite(files_, file_numbers::kRewrite, number_, path_, allowOtherLinks_);
    SequentialWriter(files_, file_numbers::kRewrite).Write(Encoded());
    identity_ = rewrite.Commit();
}

}  // namespace velquist
