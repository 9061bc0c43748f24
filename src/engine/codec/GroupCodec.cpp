// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/codec/GroupCodec.h"

#include "engine/codec/GroupCodecKernels.h"
#ifdef VELQUIST_VECTOR_CODEC
#include "engine/codec/GroupCodecLanes.h"
#endif

namespace velquist::GroupCodec {

using namespace detail;

namespace {

std::vector<Kernel> DetectKernels() {
    std::vector<Kernel> kernels{Kernel::Scalar};
#ifdef VELQUIST_VECTOR_CODEC
    __builtin_cpu_init();
    if (__builtin_cpu_supports("ssse3")) kernels.push_back(Kernel::Ssse3);
    if (__builtin_cpu_supports("avx2")) kernels.push_back(Kernel::Avx2);
#endif
    return kernels;
}

Kernel Fastest() {
    static const Kernel fastest = AvailableKernels().back();
    return fastest;
}

}  // namespace

const std::vector<Kernel>& AvailableKernels() {
    static const std::vector<Kernel> kernels = DetectKernels();
    return kernels;
}

const char* KernelName(Kernel kernel) {
    switch (kernel) {
        case Kernel::Ssse3: return "ssse3";
        case Kernel::Avx2: return "avx2";
        case Kernel::Scalar: break;
    }
    return "scalar";
}

void Embed(std::uint8_t* group, const std::uint8_t* message, int count) {
    if (count >= 3) {
        EmbedWhole(group, message);
        return;
    }
    Spread g = Load(group);
    if (count >= 1) {
        const Spread& a = kSpread0[message[0]];
        g.lo = (g.lo & ~kField0.lo) | a.lo;
        g.hi = (g.hi & ~kField0.hi) | a.hi;
    }
    if (count >= 2) {
        const Spread& b = kSpread1[message[1]];
        g.lo = (g.lo & ~kField1.lo) | b.lo;
        g.hi = (g.hi & ~kField1.hi) | b.hi;
    }
    Store(group, g);
}

void Extract(const std::uint8_t* group, std::uint8_t* message, int count) {
    std::uint8_t triple[3];
    ExtractWhole(group, triple);
    for (int i = 0; i < count && i < 3; ++i) message[i] = triple[i];
}

// The vector kernels code whole steps of groups; the table kernel codes what they leave.
void EmbedRun(Kernel kernel, std::uint8_t* groups, const std::uint8_t* message, std::size_t n) {
    std::size_t done = 0;
#ifdef VELQUIST_VECTOR_CODEC
    if (kernel == Kernel::Avx2) done = EmbedRunAvx2(groups, message, n);
    if (kernel == Kernel::Ssse3) done = EmbedRunSsse3(groups, message, n);
#endif
    for (std::size_t i = done; i < n; ++i) EmbedWhole(groups + 12 * i, message + 3 * i);
}

void ExtractRun(Kernel kernel, const std::uint8_t* groups, std::uint8_t* message, std::size_t n) {
    std::size_t done = 0;
#ifdef VELQUIST_VECTOR_CODEC
    if (kernel == Kernel::Avx2) done = ExtractRunAvx2(groups, message, n);
    if (kernel == Kernel::Ssse3) done = ExtractRunSsse3(groups, message, n);
#endif
    for (std::size_t i = done; i < n; ++i) ExtractWhole(groups + 12 * i, message + 3 * i);
}

void EmbedRun(std::uint8_t* groups, const std::uint8_t* message, std::size_t n) {
    EmbedRun(Fastest(), groups, message, n);
}

void ExtractRun(const std::uint8_t* groups, std::uint8_t* message, std::size_t n) {
    ExtractRun(Fastest(), groups, message, n);
}

}  // namespace velquist::GroupCodec
