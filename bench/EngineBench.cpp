// Times hiding the largest message the length field allows in a ~67 MB carrier, extracting it
// again, and the codec alone, beside a plain copy of the same carrier made with cp.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchPlatform.h"
#include "engine/CarrierFormat.h"
#include "engine/EmbedPass.h"
#include "engine/ExtractionJob.h"
#include "engine/GroupCodec.h"
#include "engine/JobState.h"

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

double TimeCopy(const std::string& from, const std::string& to) {
    auto start = Clock::now();
    std::string command = "cp '" + from + "' '" + to + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
    return Seconds(start);
}

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
    std::string carrierPath = folder + "/velquist-bench-carrier.bmp";
    std::string messagePath = folder + "/velquist-bench-message.bin";
    std::string copyPath = folder + "/velquist-bench-copy.bmp";
    const std::int64_t length = carrier::kMaxMessageLength;
    WriteCarrier(carrierPath, 4730);
    WriteMessage(messagePath, static_cast<std::size_t>(length));
    std::int64_t carrierBytes = std::filesystem::file_size(carrierPath);
    double payloadMB = static_cast<double>(carrier::PayloadBytes(length)) / 1e6;
    std::printf("carrier %lld bytes, message %lld bytes\n", static_cast<long long>(carrierBytes),
                static_cast<long long>(length));

    TimeCopy(carrierPath, copyPath);  // warm the page cache the same way for every run
    double copy = TimeCopy(carrierPath, copyPath);

    bench::BenchPlatform platform;
    JobState job;
    job.VersionWord = kVersionWordStart;
    job.Password = kPasswordFiller;
    job.ImagePath = carrierPath;
    job.MsgPath = messagePath;
    job.MsgExt = "bin";
    PassContext ctx{job, platform, platform};
    auto start = Clock::now();
    EmbedMsg(ctx);
    double hide = Seconds(start);

    start = Clock::now();
    ExtractionJob extraction(ctx);
    bool completed = extraction.Open().completed() &&
                     extraction.Run(folder + "/velquist-bench-output.bin").completed();
    extraction.Close();
    double extract = Seconds(start);

    std::printf("cp:      %.3f s  %.0f MB/s\n", copy, carrierBytes / copy / 1e6);
    std::printf("hide:    %.3f s  %.0f MB/s of payload  hide/copy %.2f\n", hide, payloadMB / hide,
                hide / copy);
    std::printf("extract: %.3f s  %.0f MB/s of payload  extract/copy %.2f\n", extract,
                payloadMB / extract, extract / copy);
    std::printf("yields %ld, percentage captions %ld, error boxes %d, extraction %s\n",
                platform.yields, platform.percentCaptions, platform.ErrorBoxes(),
                completed ? "completed" : "FAILED");
    struct rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (passes): %.1f MiB\n", usage.ru_maxrss / 1024.0);
    CodecRates();
    for (const auto& p : {carrierPath, messagePath, copyPath, folder + "/velquist-bench-output.bin"})
        std::filesystem::remove(p);
    return completed && platform.ErrorBoxes() == 0 ? 0 : 1;
}
