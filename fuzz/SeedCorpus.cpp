// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed pictures the fuzz targets start from: small ordinary pictures with the
// header layouts BMP writers use, and carriers holding messages made by the hiding pass.
// Usage: velquist_seed_corpus <corpus folder>   (writes <folder>/inspect, extract, hide)

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/EmbedPass.h"
#include "engine/HideOptions.h"
#include "engine/crypto/Argon2idKeyDerivation.h"
#include "probes/Scratch.h"
#include "probes/SilentProgress.h"
#include "support/CarrierBuilder.h"
#include "SeedFile.h"
#include "support/MemoryFiles.h"

namespace {

using velquist::fuzz::SaveSeed;

namespace fs = std::filesystem;
using velquist::testing::CarrierBuilder;
using Bytes = std::vector<std::uint8_t>;

Bytes Picture(std::int32_t width, std::int32_t height, std::uint32_t offset,
              std::uint16_t bitCount = 24) {
    CarrierBuilder builder;
    builder.width = width;
    builder.height = height;
    builder.pixelOffset = offset;
    builder.bitCount = bitCount;
    return builder.Build();
}

// The picture with `length` bytes hidden in it, protected by `password` when one is given,
// and sealed as format version 2 when `encrypted` (with the cheap key derivation the fuzz
// targets use).
Bytes Carrier(const Bytes& picture, std::size_t length, const std::string& password,
              bool encrypted = false) {
    using velquist::probes::ScratchFile;
    velquist::testing::MemoryFiles files;
    files.AddFolder(velquist::probes::kScratch);
    files.Put(ScratchFile("carrier.bmp"), picture);
    Bytes message(length);
    for (std::size_t i = 0; i < length; ++i) message[i] = static_cast<std::uint8_t>('a' + i % 26);
    files.Put(ScratchFile("message.txt"), message);
    velquist::HideOptions options;
    if (!password.empty())
        options = velquist::HideOptions{velquist::Protection::Password, encrypted ? 2 : 1,
                                        velquist::SecretBytes::Of(password)};
    velquist::probes::SilentProgress progress;
    auto cheapKeys = velquist::Argon2idKeyDerivation::CheapForTests();
    velquist::PassContext ctx{files, progress, nullptr, &cheapKeys};
    const std::string carrier = ScratchFile("carrier.bmp");
    if (!velquist::EmbedMsg(ctx, {{carrier, {}}, ScratchFile("message.txt"), "txt"}, options).completed())
        throw std::runtime_error("the seed carrier was not made");
    return files.Get(carrier);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    fs::path root = argv[1];
    Bytes plain = Picture(16, 8, 54);
    Bytes version4 = Picture(15, 8, 122);
    Bytes version5 = Picture(16, 8, 138);
    Bytes padded = Picture(3, 5, 54);

    SaveSeed(root / "inspect", "plain-54.bmp", plain);
    SaveSeed(root / "inspect", "version5-138.bmp", version5);
    SaveSeed(root / "inspect", "protected.bmp", Carrier(plain, 10, "pw"));
    SaveSeed(root / "inspect", "palette-8bit.bmp", Picture(16, 8, 1078, 8));
    SaveSeed(root / "inspect", "header-only.bmp", Bytes(plain.begin(), plain.begin() + 54));

    SaveSeed(root / "extract", "empty-message.bmp", Carrier(plain, 0, ""));
    SaveSeed(root / "extract", "one-byte.bmp", Carrier(padded, 1, ""));
    SaveSeed(root / "extract", "two-bytes-protected.bmp", Carrier(version4, 2, "secret"));
    SaveSeed(root / "extract", "four-bytes.bmp", Carrier(version5, 4, ""));
    SaveSeed(root / "extract", "thirty-bytes-protected.bmp", Carrier(plain, 30, "pw"));
    SaveSeed(root / "extract", "sealed-version2.bmp", Carrier(Picture(16, 16, 54), 20, "pw", true));

    SaveSeed(root / "hide", "plain-54.bmp", plain);
    SaveSeed(root / "hide", "version4-odd-width.bmp", version4);
    SaveSeed(root / "hide", "padded-rows.bmp", padded);
    SaveSeed(root / "hide", "already-holding.bmp", Carrier(version5, 7, "pw"));
    // Ten bytes need 60 pixel bytes: the probe's message just fits the first and not the second.
    SaveSeed(root / "hide", "exactly-ten-bytes.bmp", Picture(4, 5, 54));
    SaveSeed(root / "hide", "one-group-short.bmp", Picture(4, 4, 54));
    return 0;
}
