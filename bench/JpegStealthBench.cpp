// SPDX-License-Identifier: GPL-3.0-or-later
// Times the costs of a version-3 hide into a 4000 x 3000 4:2:0 JPEG's coefficients at 0.1 bits
// per non-zero AC coefficient, each cost model on both cores, with the peak memory after each.
// Run a Release build on an idle machine.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "PhotographJpeg.h"
#include "ProcessMeter.h"
#include "engine/stealth/jpeg/JUniwardCosts.h"
#include "engine/stealth/jpeg/JpegCapacity.h"
#include "engine/stealth/jpeg/UerdCosts.h"

namespace {

using namespace velquist::stealth;
using Clock = std::chrono::steady_clock;
using velquist::bench::CpuSeconds;
using velquist::bench::PeakMiB;

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

void TimeCosts(const char* name, const JpegCostModel& model, const JpegView& view) {
    std::vector<float> costs(view.SampleCount());
    const auto start = Clock::now();
    const double cpu = CpuSeconds();
    model.Fill(view, costs, 0);
    const double wall = Seconds(start);
    std::size_t held = 0;
    for (float c : costs) held += std::isinf(c);
    std::printf("%s costs, both cores %.3f s (cpu %.3f s); %.1f%% of the coefficients held; peak %.0f MiB\n",
                name, wall, CpuSeconds() - cpu, 100.0 * static_cast<double>(held) / costs.size(), PeakMiB());
}

}  // namespace

int main() {
    const velquist::bench::PhotographJpeg jpeg(kWidth, kHeight);
    const JpegCapacity::Counts counts = JpegCapacity::CountsOf(jpeg.view);
    const std::uint64_t payload = JpegCapacity::SafePayload(counts);
    std::printf("picture %ux%u, 4:2:0 at quality 75: %llu coefficients, %llu non-zero AC; safe payload %llu "
                "bytes (%.3f bits per non-zero AC)\n",
                kWidth, kHeight, static_cast<unsigned long long>(counts.samples),
                static_cast<unsigned long long>(counts.nonZeroAc), static_cast<unsigned long long>(payload),
                8.0 * static_cast<double>(payload) / static_cast<double>(counts.nonZeroAc));
    std::printf("before anything: peak %.0f MiB\n", PeakMiB());
    TimeCosts("UERD", UerdCosts(), jpeg.view);
    TimeCosts("J-UNIWARD", JUniwardCosts(), jpeg.view);
    return 0;
}
