// SPDX-License-Identifier: GPL-3.0-or-later
// Times a version-3 hide at 0.1 bits per sample into a 4000 x 3000 photograph-like picture,
// once as a BMP and once as a PNG, through the engine and real files as the command line does,
// beside libpng decoding and encoding that PNG alone; and tells how much the rewritten PNG
// grew or shrank. Run a Release build on an idle machine.
//   velquist_png_bench [FOLDER]   (default: the temporary folder)
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    const auto geometry = stealth::SampleGeometry::Png(kWidth, kHeight);
    const Bytes rgb = bench::Photograph(geometry, kWidth, kHeight);
    const std::string bmpPath = folder + "/velquist-png-bench.bmp";
    const std::string pngPath = folder + "/velquist-png-bench.png";
    const std::string messagePath = folder + "/" + kName;
    Bytes png;
    const Timing written = Time([&] {
        png = png::testing::WritePng({.width = kWidth, .height = kHeight, .colourType = 2}, rgb);
    });
    std::printf("libpng's defaults write the picture in %.3f s\n", written.wall);
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

    // libpng alone: what any PNG hide pays on top of the BMP one.
    png::DecodedPng decoded;
    const Timing decode = Time([&] { decoded = png::DecodePng(png); });
    Bytes encoded;
    const Timing encode = Time([&] { encoded = png::EncodePng(png, decoded.layout, decoded.pixels); });
    std::printf("PNG %llu bytes: decode %.3f s (cpu %.3f), encode %.3f s (cpu %.3f) to %llu bytes\n",
                static_cast<unsigned long long>(png.size()), decode.wall, decode.cpu, encode.wall,
                encode.cpu, static_cast<unsigned long long>(encoded.size()));
    decoded = {};
    encoded = {};

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

    const double bound = bmpHide.wall + decode.wall + encode.wall;
    const std::uint64_t after = SizeOf(pngPath);
    std::printf("PNG hide / (BMP hide + decode + encode) = %.2f (goal <= 2)\n", pngHide.wall / bound);
    std::printf("the carrier PNG went from %llu to %llu bytes (%+.2f %%)\n",
                static_cast<unsigned long long>(png.size()), static_cast<unsigned long long>(after),
                100.0 * (static_cast<double>(after) - static_cast<double>(png.size())) / png.size());
    std::remove(bmpPath.c_str());
    std::remove(pngPath.c_str());
    std::remove(messagePath.c_str());
    return bmpDone && pngDone ? 0 : 1;
}
