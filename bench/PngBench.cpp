// SPDX-License-Identifier: GPL-3.0-or-later
// Times a version-3 hide at 0.1 bits per sample into a 4000 x 3000 photograph-like picture,
// once as a BMP and once as a PNG, through the engine and real files as the command line does;
// beside it, the re-encoding of that PNG as the engine does it and, as the baseline, as libpng
// and zlib did it before (at the level the old rewrite chose: 1, 5, 6 or 7 for the level bits 0
// to 3, libpng's filter for every row); and the size change of both on a suite of PNGs: the
// kinds the tests make (RGB, RGBA, interlaced, several levels and filters), cut from the same
// picture, and any PNG files named. Run a Release build on an idle machine.
//   velquist_png_bench [FOLDER [PNG...]]   (default: the temporary folder)
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Photograph.h"
#include "ProcessMeter.h"
#include "engine/HideJob.h"
#include "engine/PassProgress.h"
#include "engine/png/PngCodec.h"
#include "engine/stealth/StealthCapacity.h"
#include "platform/NumberedFiles.h"
#include "support/PngMaker.h"

#include <png.h>

namespace {

using namespace velquist;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;
constexpr char kPassphrase[] = "a passphrase of some length";
constexpr char kName[] = "holiday-notes.txt";

struct Timing {
    double wall = 0;
    double cpu = 0;
};

using bench::CpuSeconds;
using bench::PeakMiB;

template <typename Code>
Timing Time(Code code) {
    const auto start = Clock::now();
    const double cpu = CpuSeconds();
    code();
    return {std::chrono::duration<double>(Clock::now() - start).count(), CpuSeconds() - cpu};
}

void Save(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::uint64_t SizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

void PutLE(Bytes& out, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The same picture as a bottom-up 24-bit BMP; 4000 pixels make rows without padding.
Bytes Bmp(const Bytes& rgb) {
    const std::size_t row = std::size_t{kWidth} * 3;
    Bytes file(54 + row * kHeight);
    file[0] = 'B';
    file[1] = 'M';
    PutLE(file, 2, static_cast<std::uint32_t>(file.size()), 4);
    PutLE(file, 10, 54, 4);
    PutLE(file, 14, 40, 4);
    PutLE(file, 18, kWidth, 4);
    PutLE(file, 22, kHeight, 4);
    PutLE(file, 26, 1, 2);
    PutLE(file, 28, 24, 2);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        const std::uint8_t* from = rgb.data() + y * row;
        std::uint8_t* to = file.data() + 54 + (kHeight - 1 - y) * row;
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    return file;
}

class Silent : public PassProgress {
public:
    void Status(PassStatus) override {}
    void Percent(int) override {}
};

// A version-3 hide of `message` into `picture` through the engine, as velquist-cli does it.
bool Hide(const std::string& picture, const std::string& message) {
    NumberedFiles files;
    Silent progress;
    PassContext ctx{files, progress};
    HideJob hide(ctx, {{picture, {}}, message, "txt"});
    HideOptions options{Protection::Password, 3, SecretBytes::Of(kPassphrase)};
    const bool done = hide.Open().completed() && hide.Run(options).completed();
    hide.Close();
    return done;
}

struct Encoding {
    Timing time;
    std::size_t size = 0;
};

double Change(std::size_t after, std::size_t before) {
    return 100.0 * (static_cast<double>(after) - static_cast<double>(before)) / static_cast<double>(before);
}

// The old rewrite: libpng and zlib at the level it took for the old file's level bits.
Encoding Baseline(const png::DecodedPng& decoded) {
    constexpr int kOldLevels[4] = {1, 5, 6, 7};
    const png::PngLayout& layout = decoded.layout;
    png::testing::PngRecipe recipe{.width = layout.width, .height = layout.height,
                                   .colourType = layout.colourType, .interlaced = layout.interlaced,
                                   .zlibLevel = kOldLevels[layout.zlibLevel & 3]};
    Encoding e;
    e.time = Time([&] { e.size = png::testing::WritePng(recipe, decoded.pixels.samples).size(); });
    return e;
}

Encoding Now(const Bytes& file, const png::DecodedPng& decoded) {
    Encoding e;
    e.time = Time([&] { e.size = png::EncodePng(file, decoded.layout, decoded.pixels).size(); });
    return e;
}

// The bytes of every chunk but the signature, IHDR, IDAT and IEND, which libpng alone does not
// write but a rewrite keeps.
std::size_t AncillaryBytes(const png::PngLayout& layout) {
    std::size_t bytes = 0;
    for (const png::PngChunk& c : layout.chunks)
        if (!c.Is("IHDR") && !c.Is("IDAT") && !c.Is("IEND")) bytes += c.size;
    return bytes;
}

// One line of the suite: the file and its size change under each re-encoding.
void ReportSuiteFile(const std::string& name, const Bytes& file) {
    const png::DecodedPng decoded = png::DecodePng(file);
    const png::PngLayout& layout = decoded.layout;
    if (!layout.usable()) {
        std::printf("  %-40s not usable (damage %d, unsupported %d)\n", name.c_str(),
                    static_cast<int>(layout.damage), static_cast<int>(layout.unsupported));
        return;
    }
    const Encoding old = Baseline(decoded);
    const Encoding now = Now(file, decoded);
    std::printf("  %-40s %5ux%-5u %s%s level bits %d %9zu B   baseline %+7.2f %% cpu %6.3f s   now %+7.2f %% cpu %6.3f s\n",
                name.c_str(), layout.width, layout.height, layout.channels() == 4 ? "RGBA" : "RGB ",
                layout.interlaced ? " interlaced" : "           ", layout.zlibLevel, file.size(),
                Change(old.size + AncillaryBytes(layout), file.size()), old.time.cpu,
                Change(now.size, file.size()), now.time.cpu);
}

// The tests' kinds of PNG at a size where compression tells, cut from the photograph.
void ReportSuite(const Bytes& rgb, std::span<char*> files) {
    constexpr std::uint32_t kCut = 1000;
    Bytes cut;
    Bytes cutAlpha;
    for (std::uint32_t y = 0; y < kCut; ++y) {
        const std::uint8_t* row = rgb.data() + (std::size_t{y} * kWidth + (kWidth - kCut) / 2) * 3;
        for (std::uint32_t x = 0; x < kCut; ++x) {
            cut.insert(cut.end(), row + 3 * x, row + 3 * x + 3);
            cutAlpha.insert(cutAlpha.end(), row + 3 * x, row + 3 * x + 3);
            // A transparent corner and a soft edge, as a cut-out picture has.
            cutAlpha.push_back(static_cast<std::uint8_t>(x + y < 300 ? 0 : std::min<std::uint32_t>(255, x + y - 300)));
        }
    }
    struct Kind {
        const char* name;
        png::testing::PngRecipe recipe;
    };
    const Kind kinds[] = {
        {"rgb, zlib 6, libpng's filters", {.width = kCut, .height = kCut}},
        {"rgb, zlib 1, unfiltered", {.width = kCut, .height = kCut, .zlibLevel = 1, .filters = PNG_FILTER_NONE}},
        {"rgb, zlib 4, sub", {.width = kCut, .height = kCut, .zlibLevel = 4, .filters = PNG_FILTER_SUB}},
        {"rgb, zlib 9, paeth", {.width = kCut, .height = kCut, .zlibLevel = 9, .filters = PNG_FILTER_PAETH}},
        {"rgb interlaced, zlib 6", {.width = kCut, .height = kCut, .interlaced = true}},
        {"rgba, zlib 6", {.width = kCut, .height = kCut, .colourType = 6}},
        {"rgba interlaced, zlib 9", {.width = kCut, .height = kCut, .colourType = 6, .interlaced = true, .zlibLevel = 9}},
    };
    std::printf("size change of a rewrite with the same pixels (baseline: libpng and zlib as before; now: the engine):\n");
    for (const Kind& kind : kinds)
        ReportSuiteFile(kind.name, png::testing::WritePng(kind.recipe, kind.recipe.colourType == 6 ? cutAlpha : cut));
    for (const char* path : files) {
        std::ifstream in(path, std::ios::binary);
        const Bytes file{std::istreambuf_iterator<char>(in), {}};
        const std::string name(path);
        ReportSuiteFile(name.size() > 40 ? "..." + name.substr(name.size() - 37) : name, file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    const auto geometry = stealth::SampleGeometry::Png(kWidth, kHeight);
    const Bytes rgb = bench::Photograph(geometry, kWidth, kHeight);
    const std::string bmpPath = folder + "/velquist-png-bench.bmp";
    const std::string pngPath = folder + "/velquist-png-bench.png";
    const std::string messagePath = folder + "/" + kName;
    // libpng's defaults: zlib level 6, so the level bits say 2.
    const Bytes png = png::testing::WritePng({.width = kWidth, .height = kHeight, .colourType = 2}, rgb);
    const Bytes bmp = Bmp(rgb);

    const std::uint64_t samples = geometry.SampleCount();
    const std::uint64_t length = *stealth::StealthCapacity::SafeFile(samples, sizeof kName - 1);
    Bytes message(length);
    std::mt19937 rng(11);
    for (auto& b : message) b = static_cast<std::uint8_t>(rng());
    Save(messagePath, message);
    std::printf("picture %ux%u, %llu samples; file %llu bytes (%.3f bits per sample with its name)\n",
                kWidth, kHeight, static_cast<unsigned long long>(samples),
                static_cast<unsigned long long>(length),
                8.0 * stealth::StealthCapacity::PayloadLength(length, sizeof kName - 1) / samples);

    // What a PNG hide pays on top of the BMP one: decoding, and re-encoding then and now.
    png::DecodedPng decoded;
    const Timing decode = Time([&] { decoded = png::DecodePng(png); });
    const Encoding old = Baseline(decoded);
    const Encoding now = Now(png, decoded);
    decoded = {};
    std::printf("PNG %zu bytes: decode %.3f s (cpu %.3f)\n", png.size(), decode.wall, decode.cpu);
    std::printf("re-encoding, baseline: %.3f s (cpu %.3f) to %+.2f %%\n", old.time.wall, old.time.cpu,
                Change(old.size, png.size()));
    std::printf("re-encoding, now:      %.3f s (cpu %.3f) to %+.2f %% (%.1f x less cpu)\n", now.time.wall,
                now.time.cpu, Change(now.size, png.size()), old.time.cpu / now.time.cpu);

    Save(bmpPath, bmp);
    bool bmpDone = false;
    const Timing bmpHide = Time([&] { bmpDone = Hide(bmpPath, messagePath); });
    std::printf("BMP hide %.3f s (cpu %.3f)%s; peak %.0f MiB\n", bmpHide.wall, bmpHide.cpu,
                bmpDone ? "" : " FAILED", PeakMiB());
    Save(pngPath, png);
    bool pngDone = false;
    const Timing pngHide = Time([&] { pngDone = Hide(pngPath, messagePath); });
    std::printf("PNG hide %.3f s (cpu %.3f)%s; peak %.0f MiB\n", pngHide.wall, pngHide.cpu,
                pngDone ? "" : " FAILED", PeakMiB());

    const std::uint64_t after = SizeOf(pngPath);
    std::printf("PNG hide / BMP hide = %.2f (goal <= 1.3; in processor time %.2f)\n",
                pngHide.wall / bmpHide.wall, pngHide.cpu / bmpHide.cpu);
    std::printf("baseline: the same PNG hide with the old re-encoding, %.3f s = %.2f x the BMP hide\n",
                pngHide.wall - now.time.wall + old.time.wall,
                (pngHide.wall - now.time.wall + old.time.wall) / bmpHide.wall);
    std::printf("the carrier PNG went from %zu to %llu bytes (%+.2f %%; goal within +-1 %%)\n", png.size(),
                static_cast<unsigned long long>(after), Change(after, png.size()));
    std::remove(bmpPath.c_str());
    std::remove(pngPath.c_str());
    std::remove(messagePath.c_str());

    ReportSuite(rgb, std::span<char*>(argv, static_cast<std::size_t>(argc)).subspan(std::min(argc, 2)));
    return bmpDone && pngDone ? 0 : 1;
}
