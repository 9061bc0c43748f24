// SPDX-License-Identifier: GPL-3.0-or-later
// Times hiding the largest message each format version takes in a ~67 MB carrier and
// extracting it again, through the engine as the window runs it, beside copies of the same
// carrier made with cp, with and without a flush to the disk; version 2 also without its one
// key derivation, which is timed alone. Then the codec alone, per kernel.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "ProcessMeter.h"
#include "engine/EmbedPass.h"
#include "engine/OpenedExtraction.h"
#include "engine/HideOptions.h"
#include "engine/codec/GroupCodec.h"
#include "engine/crypto/Argon2idKeyDerivation.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/Format2.h"
#include "platform/NumberedFiles.h"

namespace {

using namespace velquist;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

void WriteCarrier(const std::string& path, std::int32_t side) {
    std::size_t row = ((static_cast<std::size_t>(side) * 24 + 31) / 32) * 4;
    std::size_t pixels = row * static_cast<std::size_t>(side);
    std::vector<std::uint8_t> header(54, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, static_cast<std::uint32_t>(54 + pixels));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(side));
    put32(22, static_cast<std::uint32_t>(side));
    header[26] = 1;
    header[28] = 24;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), 54);
    std::vector<char> chunk(1 << 20);
    std::mt19937 rng(1);
    for (auto& c : chunk) c = static_cast<char>(rng());
    for (std::size_t done = 0; done < pixels; done += chunk.size())
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), pixels - done)));
}

// Written in chunks so that the benchmark's own buffers stay out of the peak memory figure.
void WriteMessage(const std::string& path, std::size_t length) {
    std::vector<char> chunk(1 << 20);
    std::mt19937 rng(2);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t done = 0; done < length; done += chunk.size()) {
        for (auto& c : chunk) c = static_cast<char>(rng());
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), length - done)));
    }
}

// Flushes a file to the disk, as `sync FILE` does.
void SyncFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0 || fsync(fd) != 0) std::fprintf(stderr, "cannot sync %s\n", path.c_str());
    if (fd >= 0) close(fd);
}

// A fresh copy with cp, and with `durable` flushed to the disk as a hide leaves its carrier.
double TimeCopy(const std::string& from, const std::string& to, bool durable) {
    std::filesystem::remove(to);
    auto start = Clock::now();
    std::string command = "cp '" + from + "' '" + to + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
    if (durable) SyncFile(to);
    return Seconds(start);
}

// Compared in chunks, after the timing, so that a pass that completed wrongly is noticed.
bool SameContent(const std::string& a, const std::string& b) {
    std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
    std::vector<char> x(1 << 20), y(1 << 20);
    while (left && right) {
        left.read(x.data(), static_cast<std::streamsize>(x.size()));
        right.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (left.gcount() != right.gcount() ||
            !std::equal(x.begin(), x.begin() + left.gcount(), y.begin()))
            return false;
    }
    return !left && !right;
}

struct PassTimes {
    double hide = 0;
    double extract = 0;
    bool completed = false;
};

// Hides `messagePath` in `carrierPath` and extracts it again, as the window does: version 1
// with no password, version 2 with a password and encryption ticked.
PassTimes HideAndExtract(const std::string& carrierPath, const std::string& messagePath,
                         const std::string& outFile, bool version2) {
    bench::BenchWindow window;
    NumberedFiles files;
    HideOptions options;
    if (version2) {
        options.protection = Protection::Password;
        options.formatVersion = 2;
        options.password = SecretBytes::Of("pw");
    }
    PassContext ctx{files, window, &window};
    PassTimes times;
    auto start = Clock::now();
    bool hidden = EmbedMsg(ctx, {{carrierPath, {}}, messagePath, "bin"}, options).completed();
    times.hide = Seconds(start);

    start = Clock::now();
    OpenedExtraction extraction = OpenForExtraction(ctx, {carrierPath, {}}, {});
    bool opened = extraction.outcome.completed() &&
                  (!extraction.extraction->NeedsPassword() ||
                   extraction.extraction->AcceptPassword(SecretBytes::Of("pw")));
    times.completed = hidden && opened && extraction.extraction->Run(outFile).completed();
    if (extraction.extraction) extraction.extraction->Close();
    times.extract = Seconds(start);
    times.completed = times.completed && SameContent(messagePath, outFile);
    std::printf("version %d: yields %ld, percentage reports %ld, %s\n", version2 ? 2 : 1,
                window.yields, window.percentReports,
                times.completed ? "extracted the message" : "FAILED");
    return times;
}

using bench::PeakMiB;

// CPU time of this thread, so that the codec's rate per core holds on a busy machine.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Best of `tries` timings of `rounds` calls, in CPU seconds.
template <typename Code>
double BestSeconds(int tries, int rounds, Code code) {
    double best = 1e30;
    for (int t = 0; t < tries; ++t) {
        double start = ThreadSeconds();
        for (int round = 0; round < rounds; ++round) code();
        best = std::min(best, ThreadSeconds() - start);
    }
    return best;
}

// Each kernel on one pass block (10,922 groups, about 128 KiB, as the passes code it from the
// core's cache), best of 5 times 50 blocks, in CPU time per core.
void CodecRates() {
    constexpr std::size_t kGroups = 10922;
    constexpr int kRounds = 50;
    std::vector<std::uint8_t> groups(12 * kGroups), message(3 * kGroups);
    std::mt19937 rng(3);
    for (auto& b : groups) b = static_cast<std::uint8_t>(rng());
    for (auto& b : message) b = static_cast<std::uint8_t>(rng());
    double bytes = static_cast<double>(kRounds) * static_cast<double>(groups.size());
    for (GroupCodec::Kernel kernel : GroupCodec::AvailableKernels()) {
        double embed = BestSeconds(5, kRounds, [&] {
            GroupCodec::EmbedRun(kernel, groups.data(), message.data(), kGroups);
        });
        double extract = BestSeconds(5, kRounds, [&] {
            GroupCodec::ExtractRun(kernel, groups.data(), message.data(), kGroups);
        });
        std::printf("codec %-6s embed %6.0f MB/s, extract %6.0f MB/s of carrier bytes\n",
                    GroupCodec::KernelName(kernel), bytes / embed / 1e6, bytes / extract / 1e6);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    std::string prefix = folder + "/velquist-bench-";
    std::vector<std::string> files;
    auto file = [&](const char* name) { return files.emplace_back(prefix + name); };
    std::string carrier1 = file("carrier1.bmp"), carrier2 = file("carrier2.bmp");
    std::string message1 = file("message1.bin"), message2 = file("message2.bin");
    std::string copyPath = file("copy.bmp");
    std::string output1 = file("output1.bin"), output2 = file("output2.bin");
    const std::int64_t length1 = carrier::kMaxMessageLength;
    const std::int64_t length2 = format2::kMaxMessageLength;
    for (const auto& path : {carrier1, carrier2}) {
        WriteCarrier(path, 4730);
        SyncFile(path);  // so that no hide pays for flushing the freshly written carrier
    }
    WriteMessage(message1, static_cast<std::size_t>(length1));
    WriteMessage(message2, static_cast<std::size_t>(length2));
    const double carrierMB = static_cast<double>(std::filesystem::file_size(carrier1)) / 1e6;
    std::printf("carrier 4730 x 4730, %.1f MB; messages: version 1 %lld bytes, version 2 %lld "
                "bytes\n",
                carrierMB, static_cast<long long>(length1), static_cast<long long>(length2));

    TimeCopy(carrier1, copyPath, false);  // warm the page cache the same way for every run
    double copy = TimeCopy(carrier1, copyPath, false);
    double copySync = TimeCopy(carrier1, copyPath, true);

    PassTimes v1 = HideAndExtract(carrier1, message1, output1, false);
    double peak1 = PeakMiB();

    std::array<std::uint8_t, format2::kSaltLength> salt{};
    auto start = Clock::now();
    Argon2idKeyDerivation{}.Derive(SecretBytes::Of("pw"), salt);
    double derive = Seconds(start);

    PassTimes v2 = HideAndExtract(carrier2, message2, output2, true);
    double peak2 = PeakMiB();

    struct Row {
        const char* step;
        double seconds;
        bool rated;  // the derivation touches no carrier byte: a rate over it means nothing
    };
    const Row rows[] = {
        {"cp", copy, true},
        {"cp && sync", copySync, true},
        {"hide v1", v1.hide, true},
        {"extract v1", v1.extract, true},
        {"key derivation", derive, false},
        {"hide v2", v2.hide, true},
        {"hide v2 - kdf", v2.hide - derive, true},
        {"extract v2", v2.extract, true},
        {"extract v2 - kdf", v2.extract - derive, true},
    };
    std::printf("%-17s %8s %11s %7s %11s\n", "step", "seconds", "MB/s carr.", "x cp",
                "x cp+sync");
    for (const Row& row : rows) {
        std::string rate =
            row.rated ? std::to_string(std::lround(carrierMB / row.seconds)) : std::string("-");
        std::printf("%-17s %8.3f %11s %7.2f %11.2f\n", row.step, row.seconds, rate.c_str(),
                    row.seconds / copy, row.seconds / copySync);
    }
    std::printf("peak memory after the version-1 passes: %.1f MiB\n", peak1);
    std::printf("peak memory after the version-2 passes (Argon2id's 64 MiB included): %.1f MiB\n",
                peak2);
    CodecRates();
    for (const auto& path : files) std::filesystem::remove(path);
    return v1.completed && v2.completed ? 0 : 1;
}
