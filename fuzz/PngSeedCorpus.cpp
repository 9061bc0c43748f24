// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed PNGs the png fuzz target starts from: one small picture of every kind a
// carrier may be, and one of each kind refused as unsupported.
// Usage: velquist_png_seed_corpus <folder>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "SeedFile.h"
#include "support/PngMaker.h"

namespace {

using velquist::fuzz::SaveSeed;

namespace fs = std::filesystem;
using namespace velquist::png::testing;

Bytes Picture(const PngRecipe& recipe) { return WritePng(recipe, PatternSamples(recipe)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    fs::path folder = argv[1];
    Bytes rgb = Picture({6, 4, 2});
    SaveSeed(folder, "rgb.png", rgb);
    SaveSeed(folder, "rgba-transparent.png", Picture({5, 5, 6}));
    SaveSeed(folder, "rgb-interlaced.png", Picture({9, 9, 2, 8, true}));
    SaveSeed(folder, "rgba-interlaced-small-idat.png", Picture({7, 6, 6, 8, true, 16}));
    Bytes described = Join({Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("tEXt", Text("Title")),
                            Chunk("iCCP", Join({Text("icc"), {0, 0}, Zlib(Bytes(40, 3))})),
                            Chunk("prVT", Text("dropped by a rewrite"))});
    SaveSeed(folder, "rgb-with-chunks.png",
         InsertBeforeEnd(InsertBeforeImage(rgb, described), Chunk("prVt", Text("after"))));
    SaveSeed(folder, "palette.png", Picture({6, 4, 3}));
    SaveSeed(folder, "grey-alpha.png", Picture({6, 4, 4}));
    SaveSeed(folder, "rgb-16-bit.png", Picture({4, 3, 2, 16}));
    SaveSeed(folder, "animated.png", InsertBeforeImage(rgb, Chunk("acTL", {0, 0, 0, 1, 0, 0, 0, 0})));
    SaveSeed(folder, "unknown-critical.png", InsertBeforeImage(rgb, Chunk("PrVc", Text("private, critical"))));
    SaveSeed(folder, "rgb-transparent-colour.png", InsertBeforeImage(rgb, Chunk("tRNS", {0, 0, 0, 0, 0, 0})));
    return 0;
}
