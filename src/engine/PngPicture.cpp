// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PngPicture.h"

#include <algorithm>

#include "engine/FileNumbers.h"
#include "engine/PictureRewrite.h"
#include "platform/SequentialWriter.h"

namespace velquist {

namespace {

stealth::SampleGeometry GeometryOf(const png::PngPixels& pixels, std::uint64_t carrying) {
    if (carrying == pixels.pixelCount()) return stealth::SampleGeometry::Png(pixels.width, pixels.height);
    return stealth::SampleGeometry::Png(pixels.width, pixels.height, pixels.CarryingMask());
}

}  // namespace

PngPicture::PngPicture(FileService& files, int number, std::string path,
                       std::vector<std::uint8_t> file, png::DecodedPng decoded)
    : files_(files), number_(number), path_(std::move(path)), file_(std::move(file)),
      decoded_(std::move(decoded)), carrying_(decoded_.pixels.CountCarrying()),
      geometry_(GeometryOf(decoded_.pixels, carrying_)) {
    const png::PngPixels& pixels = decoded_.pixels;
    if (pixels.channels == 3) return;
    samples_.reserve(3 * carrying_);
    for (std::size_t pixel = 0; pixel < pixels.pixelCount(); ++pixel) {
        if (!pixels.Carries(pixel)) continue;
        const std::uint8_t* rgba = pixels.samples.data() + 4 * pixel;
        samples_.insert(samples_.end(), rgba, rgba + 3);
    }
}

// An RGB picture's samples are its decoded pixels themselves: no second copy of the picture.
std::span<std::uint8_t> PngPicture::Samples() {
    if (decoded_.pixels.channels == 3) return decoded_.pixels.samples;
    return samples_;
}

// The decoded pixels with the samples put back (alpha as it was), compressed anew.
std::vector<std::uint8_t> PngPicture::Encoded() {
    png::PngPixels& pixels = decoded_.pixels;
    if (pixels.channels == 4) {
        const std::uint8_t* next = samples_.data();
        for (std::size_t pixel = 0; pixel < pixels.pixelCount(); ++pixel) {
            if (!pixels.Carries(pixel)) continue;
            std::copy_n(next, 3, pixels.samples.data() + 4 * pixel);
            next += 3;
        }
    }
    return png::EncodePng(file_, decoded_.layout, pixels);
}

std::optional<PathFacts> PngPicture::WriteBack(std::span<const std::uint32_t> changed,
                                              bool allowOtherLinks) {
    if (changed.empty()) return std::nullopt;
    try {
        // Before the encoding: a picture that may not be rewritten is refused at once.
        PictureRewrite rewrite(files_, file_numbers::kRewrite, number_, path_, allowOtherLinks);
        SequentialWriter(files_, file_numbers::kRewrite).Write(Encoded());
        return rewrite.Commit();
    } catch (const FileError& e) {
        // A name that leads nowhere or to another file by now is the picture gone or replaced,
        // not a rewrite that failed.
        if (e.cause() == FileCause::NotFound || e.cause() == FileCause::Replaced) throw;
        throw RewriteError(e);
    }
}

}  // namespace velquist
