// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/StealthPicture.h"
#include "platform/FileService.h"

namespace velquist {

struct PngCarrier;

// The samples of a PNG: R, G and B of each pixel from the top row, fully transparent pixels
// left out, alpha never. A PNG cannot be changed in place, so changed samples go back as a
// new file written beside the picture and put in its place (see PictureRewrite), replacing only
// the very file that was read (the one open and locked as the carrier). A failure or a signal
// at any step leaves the old picture whole and no new file behind.
class PngPicture final : public StealthPicture {
public:
    // `png` is the usable PNG read from the carrier open as `number`, whose name is `path`.
    // After a rewrite `identity` says which file the picture now is. A picture with other names
    // (hard links) is rewritten only with `allowOtherLinks`.
    PngPicture(FileService& files, int number, std::string path,
               std::shared_ptr<const PngCarrier> png, PathFacts& identity, bool allowOtherLinks);

    const stealth::SampleGeometry& Geometry() const override { return geometry_; }
    std::span<std::uint8_t> Samples() override { return samples_; }
    void WriteBack(std::span<const std::uint32_t> changed) override;

private:
    std::vector<std::uint8_t> Encoded() const;

    FileService& files_;
    int number_;
    std::string path_;
    std::shared_ptr<const PngCarrier> png_;
    PathFacts& identity_;
    bool allowOtherLinks_;
    stealth::SampleGeometry geometry_;
    std::vector<std::uint8_t> samples_;
};

}  // namespace velquist
