// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibraryEmbedder.h"

#include <random>
#include <sstream>

#include "CliEmbedder.h"
#include "engine/stealth/Stealth.h"
#include "engine/stealth/StealthCapacity.h"
#include "engine/stealth/pixels/PixelCover.h"
#include "engine/stealth/pixels/PixelSalt.h"

namespace velquist::detect {

namespace {

// The name the command line's rows store with the message.
constexpr std::uint64_t kNameLength = 11;

}  // namespace

std::string LibraryEmbedder::name() const {
    std::ostringstream out;
    out << "v3 library";
    if (sharpness_) out << " s" << *sharpness_;
    if (rounds_) out << " r" << *rounds_;
    return out.str();
}

std::optional<Picture> LibraryEmbedder::embed(const Crop&, const Picture& cover, double rate,
                                              std::uint64_t seed, std::string& failure) const {
    namespace st = velquist::stealth;
    const auto samples = static_cast<std::int64_t>(cover.samples.size());
    const std::int64_t message = CliEmbedder::MessageLength(3, rate, samples);
    std::vector<std::uint8_t> payload(st::StealthCapacity::PayloadLength(message, kNameLength));
    std::mt19937_64 random(seed);
    for (std::uint8_t& b : payload) b = static_cast<std::uint8_t>(random());
    const auto width = static_cast<std::uint32_t>(cover.width);
    const auto height = static_cast<std::uint32_t>(cover.height);
    const st::StealthKeys keys = st::StealthKeys::Derive(std::to_string(seed), st::PixelSalt(width, height),
                                                         st::KdfCost::Cheapest());
    Picture carrier = cover;
    const st::SampleGeometry geometry = st::SampleGeometry::Bmp(width, height, true);
    st::PixelCover pixels(carrier.samples, geometry,
                          static_cast<float>(sharpness_.value_or(st::PixelCover::kSharpness)));
    st::EmbedOptions options{.threads = 1};
    if (rounds_) options.rounds = *rounds_;
    if (!st::Embed(pixels, keys, payload, options)) {
        failure = "the payload does not fit";
        return std::nullopt;
    }
    return carrier;
}

}  // namespace velquist::detect
