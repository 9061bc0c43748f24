// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PictureKinds.h"

#include <array>

#include "engine/BmpCarrier.h"
#include "engine/PngCarrier.h"
#include "engine/png/PngLayout.h"
#include "platform/FileService.h"

namespace velquist {

namespace {

// The bytes a kind is told by.
constexpr std::size_t kStartLength = png::kSignature.size();

}  // namespace

std::unique_ptr<CarrierPicture> ReadCarrierPicture(FileService& files, int number,
                                                   const std::string& path) {
    const std::int64_t length = files.Length(number);
    if (length >= static_cast<std::int64_t>(kStartLength)) {
        std::array<std::uint8_t, kStartLength> start{};
        files.ReadAt(number, 0, start);
        if (png::StartsAsPng(start)) return std::make_unique<PngCarrier>(files, number, path, length);
    }
    return std::make_unique<BmpCarrier>(files, number);
}

}  // namespace velquist
