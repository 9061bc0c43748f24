// SPDX-License-Identifier: GPL-3.0-or-later
// Times the JPEG library on a 4000 x 3000 photograph-like picture compressed by libjpeg at
// quality 90, 4:2:0, in the kinds cameras and encoders write: judging it, reading every
// coefficient, and writing back (read back included) a twentieth of its non-zero AC
// coefficients changed by one. Each kind is measured by a fresh process of its own, so the
// peak memory is that of reading and writing alone. Run a Release build on an idle machine.
//   velquist_jpeg_bench [FOLDER]   (default: the temporary folder)
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "Photograph.h"
#include "ProcessMeter.h"
#include "engine/jpeg/JpegCodec.h"
#include "support/JpegMaker.h"

namespace {

using namespace velquist;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;
constexpr char kMeasure[] = "--measure";

struct Kind {
    const char* name;
    const char* file;
    void (*change)(jpeg::testing::JpegRecipe&);
};

constexpr Kind kKinds[] = {
    {"baseline, standard tables", "velquist-jpeg-bench-standard.jpg", [](jpeg::testing::JpegRecipe&) {}},
    {"baseline, optimised tables", "velquist-jpeg-bench-optimised.jpg", [](jpeg::testing::JpegRecipe& r) { r.optimise = true; }},
    {"progressive", "velquist-jpeg-bench-progressive.jpg", [](jpeg::testing::JpegRecipe& r) { r.progressive = true; }},
    {"arithmetic", "velquist-jpeg-bench-arithmetic.jpg", [](jpeg::testing::JpegRecipe& r) { r.arithmetic = true; }},
};

struct Timing {
    double wall = 0;
    double cpu = 0;
};

template <typename Code>
Timing Time(Code code) {
    const auto start = Clock::now();
    const double cpu = bench::CpuSeconds();
    code();
    return {std::chrono::duration<double>(Clock::now() - start).count(), bench::CpuSeconds() - cpu};
}

void Report(const char* what, const Timing& t) { std::printf("  %-28s %.3f s (cpu %.3f)\n", what, t.wall, t.cpu); }

// Moves a twentieth of the non-zero AC coefficients by one, spread over the picture, as a hide
// at about 0.1 bits per non-zero AC coefficient would.
std::size_t Change(jpeg::JpegCoefficients& c) {
    std::mt19937_64 rng(7);
    std::size_t wanted = static_cast<std::size_t>(c.CountNonZeroAc() / 20);
    std::size_t changes = 0;
    while (changes < wanted) {
        std::size_t at = rng() % c.values.size();
        std::int16_t& v = c.values[at];
        if (at % 64 == 0 || v == 0) continue;
        bool up = v <= -jpeg::kMaxAcMagnitude || (v < jpeg::kMaxAcMagnitude && rng() % 2 == 0);
        v = static_cast<std::int16_t>(v + (up ? 1 : -1));
        ++changes;
    }
    return changes;
}

int Measure(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    jpeg::JpegLayout layout;
    Report("judge", Time([&] { layout = jpeg::ParseJpeg(file); }));
    jpeg::DecodedJpeg decoded;
    Report("read coefficients", Time([&] { decoded = jpeg::DecodeJpeg(file); }));
    if (!decoded.layout.usable()) return 1;
    std::uint64_t nonZeroAc = 0;
    Report("count non-zero AC", Time([&] { nonZeroAc = decoded.coefficients.CountNonZeroAc(); }));
    jpeg::JpegCoefficients changed = decoded.coefficients;
    const std::size_t changes = Change(changed);
    Bytes rewritten;
    Report("write back and read back", Time([&] { rewritten = jpeg::EncodeJpeg(file, decoded.layout, changed); }));
    std::printf("  %zu bytes, %llu non-zero AC, %zu changed; %zu bytes after (%+.3f %%); peak %.0f MiB\n",
                file.size(), static_cast<unsigned long long>(nonZeroAc), changes, rewritten.size(),
                100.0 * (static_cast<double>(rewritten.size()) - static_cast<double>(file.size())) / file.size(),
                bench::PeakMiB());
    return 0;
}

bool Save(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kMeasure) == 0) return Measure(argv[2]);
    const std::string folder = argc > 1 ? argv[1] : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    jpeg::testing::JpegRecipe photograph;
    photograph.width = kWidth;
    photograph.height = kHeight;
    photograph.quality = 90;
    photograph.pixels = bench::Photograph(stealth::SampleGeometry::Png(kWidth, kHeight), kWidth, kHeight);
    int failures = 0;
    for (const Kind& kind : kKinds) {
        jpeg::testing::JpegRecipe recipe = photograph;
        kind.change(recipe);
        const std::string path = folder + "/" + kind.file;
        if (!Save(path, jpeg::testing::WriteJpeg(recipe))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s:\n", kind.name);
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            execl(argv[0], argv[0], kMeasure, path.c_str(), static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        std::remove(path.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::printf("  FAILED\n");
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
