// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed PNGs the png fuzz target starts from: one small picture of every kind a
// carrier may be, and one of each kind refused as unsupported.
// Usage: velquist_png_seed_corpus <folder>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "support/PngMaker.h"

namespace {

namespace fs = std::filesystem;
using namespace velquist::png::testing;

Bytes Picture(const PngRecipe& recipe) { return WritePng(recipe, PatternSamples(recipe)); }

void Save(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    fs::path folder = argv[1];
    Bytes rgb = Picture({6, 4, 2});
    Save(folder, "rgb.png", rgb);
    Save(folder, "rgba-transparent.png", Picture({5, 5, 6}));
    Save(folder, "rgb-interlaced.png", Picture({9, 9, 2, 8, true}));
    Save(folder, "rgba-interlaced-small-idat.png", Picture({7, 6, 6, 8, true, 16}));
    Bytes described = Join({Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("tEXt", Text("Title")),
                            Chunk("iCCP", Join({Text("icc"), {0, 0}, Zlib(Bytes(40, 3))})),
                            Chunk("PrVc", Text("kept"))});
    Save(folder, "rgb-with-chunks.png",
         InsertBeforeEnd(InsertBeforeImage(rgb, described), Chunk("prVt", Text("after"))));
    Save(folder, "palette.png", Picture({6, 4, 3}));
    Save(folder, "grey-alpha.png", Picture({6, 4, 4}));
    Save(folder, "rgb-16-bit.png", Picture({4, 3, 2, 16}));
    Save(folder, "animated.png", InsertBeforeImage(rgb, Chunk("acTL", {0, 0, 0, 1, 0, 0, 0, 0})));
    Save(folder, "rgb-transparent-colour.png", InsertBeforeImage(rgb, Chunk("tRNS", {0, 0, 0, 0, 0, 0})));
    return 0;
}
