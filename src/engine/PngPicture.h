// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/StealthPicture.h"
#include "engine/png/PngCodec.h"
#include "platform/FileService.h"

namespace velquist {

// The samples of a PNG: R, G and B of each pixel from the top row, fully transparent pixels
// left out, alpha never. A PNG cannot be changed in place, so changed samples go back as a
// new file written beside the picture and put in its place (see PictureRewrite), replacing only
// the very file that was read (the one open and locked as the carrier). A failure or a signal
// at any step leaves the old picture whole and no new file behind.
class PngPicture final : public StealthPicture {
public:
    // `file` is the PNG read whole from the carrier open as `number`, whose name is `path`, and
    // `decoded` its usable decode (a rewrite keeps every chunk but the image data).
    PngPicture(FileService& files, int number, std::string path, std::vector<std::uint8_t> file,
               png::DecodedPng decoded);

    const stealth::SampleGeometry& Geometry() const override { return geometry_; }
    std::span<std::uint8_t> Samples() override;
    std::optional<PathFacts> WriteBack(std::span<const std::uint32_t> changed,
                                       bool allowOtherLinks) override;

private:
    std::vector<std::uint8_t> Encoded();

    FileService& files_;
    int number_;
    std::string path_;
    std::vector<std::uint8_t> file_;
    png::DecodedPng decoded_;
    std::uint64_t carrying_;
    stealth::SampleGeometry geometry_;
    // An RGBA picture's colour samples, taken out of its pixels; an RGB picture needs none.
    std::vector<std::uint8_t> samples_;
};

}  // namespace velquist
