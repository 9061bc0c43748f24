// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegCliEmbedder.h"

#include "FileBytes.h"

namespace velquist::detect {

bool JpegCliEmbedder::fits(const JpegCover& cover, double rate) const {
    return CliEmbedder::MessageLength(3, rate, cover.coefficients.nonZeroAc()) > 0;
}

std::optional<std::vector<std::uint8_t>> JpegCliEmbedder::embed(const Crop& crop, const JpegCover& cover, double rate,
                                                               std::uint64_t seed, std::string& failure) const {
    const std::int64_t length = CliEmbedder::MessageLength(3, rate, cover.coefficients.nonZeroAc());
    std::optional<std::vector<std::uint8_t>> carrier;
    if (!hide_.hideInCopy(crop.path, "crop.jpg", length, seed, failure,
                          [&](const std::string& path) { carrier = ReadFileBytes(path); }))
        return std::nullopt;
    return carrier;
}

}  // namespace velquist::detect
