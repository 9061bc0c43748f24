// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed JPEGs the jpeg fuzz target starts from: one small picture of every kind a
// carrier may be, and one of each kind libjpeg writes that is refused as unsupported.
// Usage: velquist_jpeg_seed_corpus <folder>

#include <cstdio>
#include <filesystem>

#include "SeedFile.h"
#include "support/JpegMaker.h"

namespace {

using velquist::fuzz::SaveSeed;
using namespace velquist::jpeg::testing;

JpegRecipe Small(void (*change)(JpegRecipe&)) {
    JpegRecipe r;
    r.width = 19;
    r.height = 13;
    change(r);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    std::filesystem::path folder = argv[1];
    auto save = [&](const char* name, void (*change)(JpegRecipe&)) { SaveSeed(folder, name, WriteJpeg(Small(change))); };
    save("baseline-420.jpg", [](JpegRecipe&) {});
    save("baseline-422-restart.jpg", [](JpegRecipe& r) { r.sampling = Sampling::S422; r.restartInterval = 1; });
    save("grey-quality-100.jpg", [](JpegRecipe& r) { r.components = 1; r.quality = 100; });
    save("optimised-444.jpg", [](JpegRecipe& r) { r.sampling = Sampling::S444; r.optimise = true; });
    save("scan-per-component.jpg", [](JpegRecipe& r) { r.interleaved = false; r.optimise = true; });
    save("progressive.jpg", [](JpegRecipe& r) { r.progressive = true; });
    save("progressive-grey-restart.jpg", [](JpegRecipe& r) { r.progressive = true; r.components = 1; r.restartInterval = 2; });
    save("arithmetic.jpg", [](JpegRecipe& r) { r.arithmetic = true; r.restartInterval = 3; });
    save("arithmetic-progressive.jpg", [](JpegRecipe& r) { r.arithmetic = r.progressive = true; });
    save("markers-and-trailer.jpg", [](JpegRecipe& r) {
        r.jfif = false;
        r.adobe = true;
        r.markers = {ExifMarker(), IccMarker(), XmpMarker(), CommentMarker("seed")};
        r.trailing = {0xFF, 0xD8, 0xFF, 0xD9};
    });
    save("two-components.jpg", [](JpegRecipe& r) { r.components = 2; });
    save("cmyk.jpg", [](JpegRecipe& r) { r.components = 4; });
    return 0;
}
