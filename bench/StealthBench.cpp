// SPDX-License-Identifier: GPL-3.0-or-later
// Times a version-3 hide and extraction on a 4000 x 3000 photograph-like picture at 0.1 bits per
// sample: the key derivation, the keyed order, the costs, the embedding and the read-back apart,
// then each whole, with the peak memory after each and what bounds each step. Run a Release
// build on an idle machine.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/stealth/KeyedOrder.h"
#include "engine/stealth/MessageOpener.h"
#include "engine/stealth/MessageSealer.h"
#include "engine/stealth/Stealth.h"
#include "engine/stealth/StealthCapacity.h"
#include "engine/stealth/pixels/PixelCover.h"
#include "engine/stealth/pixels/PixelSalt.h"
#include "Photograph.h"
#include "ProcessMeter.h"

namespace {

using namespace velquist::stealth;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;
constexpr char kPassphrase[] = "a passphrase of some length";

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

using velquist::bench::CpuSeconds;
using velquist::bench::PeakMiB;

}  // namespace

int main() {
    const SampleGeometry geometry = SampleGeometry::Bmp(kWidth, kHeight, true);
    const std::uint64_t n = geometry.SampleCount();
    const StealthKeys::SaltBytes salt = PixelSalt(kWidth, kHeight);
    std::vector<std::uint8_t> samples = velquist::bench::Photograph(geometry, kWidth, kHeight);
    const std::string name = "holiday-notes.txt";
    const std::uint64_t fileLength = *StealthCapacity::SafeFile(n, name.size());
    std::vector<std::uint8_t> file(fileLength);
    std::mt19937 rng(7);
    for (auto& b : file) b = static_cast<std::uint8_t>(rng());
    std::printf("picture %ux%u, %llu samples; file %llu bytes, payload %llu bytes (%.3f bits per sample)\n",
                kWidth, kHeight, static_cast<unsigned long long>(n),
                static_cast<unsigned long long>(fileLength),
                static_cast<unsigned long long>(StealthCapacity::PayloadLength(fileLength, name.size())),
                8.0 * StealthCapacity::PayloadLength(fileLength, name.size()) / n);
    std::printf("before anything: peak %.0f MiB\n", PeakMiB());

    // The parts on their own.
    auto start = Clock::now();
    double cpu = CpuSeconds();
    const StealthKeys keys = StealthKeys::Derive(kPassphrase, salt);
    std::printf("key derivation %.3f s (cpu %.3f s): Argon2id over 64 MiB, one thread\n", Seconds(start),
                CpuSeconds() - cpu);
    start = Clock::now();
    cpu = CpuSeconds();
    { const auto order = KeyedOrder::Shuffle(n, keys.Order()); }
    std::printf("keyed order %.3f s (cpu %.3f s): one thread's swaps, a miss to memory each, beside the\n"
                "  keystream (8 bytes a sample) on the other cores\n",
                Seconds(start), CpuSeconds() - cpu);
    start = Clock::now();
    cpu = CpuSeconds();
    PixelCover(samples, geometry).PrepareCosts(0);
    std::printf("costs, both cores %.3f s (cpu %.3f s): HILL's filters over the three planes\n", Seconds(start),
                CpuSeconds() - cpu);

    // The whole hide: derivation, sealing, embedding.
    start = Clock::now();
    cpu = CpuSeconds();
    const StealthKeys hideKeys = StealthKeys::Derive(kPassphrase, salt);
    std::size_t read = 0;
    MessageSealer sealer(hideKeys, name, fileLength, [&](std::span<std::uint8_t> out) {
        std::copy_n(file.begin() + static_cast<long>(read), out.size(), out.begin());
        read += out.size();
    });
    const std::vector<std::uint8_t> payload = sealer.Seal();
    const auto embedStart = Clock::now();
    double prepared = 0, coded = 0;
    PixelCover cover(samples, geometry);
    const auto changed = Embed(cover, hideKeys, payload, {.progress = [&](double f) {
        if (prepared == 0 && f >= 0.15) prepared = Seconds(embedStart);
        if (coded == 0 && f >= 0.95) coded = Seconds(embedStart);
    }});
    const double embed = Seconds(embedStart);
    const double hide = Seconds(start);
    const double hideCpu = CpuSeconds() - cpu;
    if (!changed) {
        std::printf("the payload did not fit\n");
        return 1;
    }
    std::printf("embed %.3f s: order and costs side by side %.3f s (the shuffle's swaps), coding %.3f s (the\n"
                "  trellis, 128 states a position, a segment a core), header and changes %.3f s; %zu samples\n"
                "  changed (%.4f per sample)\n",
                embed, prepared, coded - prepared, embed - coded, changed->size(),
                static_cast<double>(changed->size()) / n);
    std::printf("HIDE total %.3f s (goal 1.5 s), cpu %.3f s; peak %.0f MiB (goal 256: the picture, the keyed\n"
                "  order at 4 bytes a sample, the costs at 1, and each coding core's trellis path, 16 bytes a\n"
                "  position of its segment)\n",
                hide, hideCpu, PeakMiB());

    // The whole extraction: derivation, read-back, opening.
    start = Clock::now();
    cpu = CpuSeconds();
    const StealthKeys readKeys = StealthKeys::Derive(kPassphrase, salt);
    const auto readStart = Clock::now();
    const auto found = ReadPayload(cover, readKeys);
    const double readBack = Seconds(readStart);
    std::vector<std::uint8_t> extracted;
    std::string storedName;
    if (found)
        MessageOpener(readKeys, [&](const std::string& s) { storedName = s; },
                      [&](std::span<const std::uint8_t> b) { extracted.insert(extracted.end(), b.begin(), b.end()); })
            .Open(*found);
    const double extract = Seconds(start);
    std::printf("read-back %.3f s: the keyed order, then the syndromes, a segment a core\n", readBack);
    std::printf("EXTRACT total %.3f s (goal 0.5 s), cpu %.3f s; peak %.0f MiB\n", extract,
                CpuSeconds() - cpu, PeakMiB());
    const bool same = extracted == file && storedName == name;
    std::printf("%s\n", same ? "the file came back intact" : "THE FILE DID NOT COME BACK");
    return same ? 0 : 1;
}
