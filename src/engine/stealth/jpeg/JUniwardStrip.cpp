// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/jpeg/JUniwardStrip.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/stealth/jpeg/JUniwardCosts.h"
#include "engine/stealth/jpeg/WaveletFilters.h"

namespace velquist::stealth {

namespace {

constexpr std::int64_t kSide = 8;
constexpr std::int64_t kTaps = static_cast<std::int64_t>(wavelet::kTaps);
// A block's residual window: 23 positions, from 7 before the block to 15 after its start.
constexpr std::int64_t kReach = kSide + kTaps - 1;
// The picture a window's residuals read: 15 more on each side.
constexpr std::int64_t kPad = kTaps - 1;

// Eight floats side by side, one vector: eight modes, or eight positions of a row.
typedef float Lanes __attribute__((vector_size(kSide * sizeof(float))));
using Modes = Lanes;
using Kernel = std::array<double, wavelet::kTaps>;
using Taps = std::array<float, wavelet::kTaps>;

// The orthonormal 8-point DCT: basis[m][i], mode m at position i.
struct Basis {
    double at[kSide][kSide];

    Basis() {
        for (std::int64_t m = 0; m < kSide; ++m)
            for (std::int64_t i = 0; i < kSide; ++i)
                at[m][i] = (m == 0 ? std::sqrt(1.0 / kSide) : std::sqrt(2.0 / kSide)) *
                           std::cos(std::numbers::pi * static_cast<double>(m * (2 * i + 1)) / (2.0 * kSide));
    }
};

const Basis& TheBasis() {
    static const Basis basis;
    return basis;
}

// What a change of one in each mode does along one axis to a residual of filter k, in magnitude:
// |k * basis_m| over the 23 positions of the window.
std::array<Modes, kReach> Impacts(const Kernel& k) {
    const Basis& basis = TheBasis();
    std::array<Modes, kReach> impacts{};
    for (std::int64_t t = 0; t < kReach; ++t)
        for (std::int64_t m = 0; m < kSide; ++m) {
            double sum = 0;
            for (std::int64_t i = std::max<std::int64_t>(0, t - kTaps + 1); i <= std::min(kSide - 1, t); ++i)
                sum += k[static_cast<std::size_t>(t - i)] * basis.at[m][i];
            impacts[static_cast<std::size_t>(t)][m] = static_cast<float>(std::abs(sum));
        }
    return impacts;
}

struct Profiles {
    std::array<Modes, kReach> low = Impacts(wavelet::kLowPass);
    std::array<Modes, kReach> high = Impacts(wavelet::kHighPass);
};

const Profiles& TheProfiles() {
    static const Profiles profiles;
    return profiles;
}

std::size_t Size(std::int64_t a) { return static_cast<std::size_t>(a); }
std::size_t Size(std::int64_t a, std::int64_t b) { return static_cast<std::size_t>(a * b); }

// The mirror image of position i in [0, n), the edge sample repeated, as often as it takes.
std::int64_t Reflect(std::int64_t i, std::int64_t n) {
    const std::int64_t period = 2 * n;
    const std::int64_t r = ((i % period) + period) % period;
    return r < n ? r : period - 1 - r;
}

// k reversed, so that a residual is a dot product with the samples in order.
Taps Reversed(const Kernel& k) {
    Taps reversed;
    for (std::size_t j = 0; j < wavelet::kTaps; ++j) reversed[j] = static_cast<float>(k[wavelet::kTaps - 1 - j]);
    return reversed;
}

// `count` residuals of one filter along a row (step 1) or down the columns (step: the row
// length): out[o] = sum_j k[15 - j] in[o + j step], the convolution aligned so that out[o] is
// the residual at o - 7 when in[0] is the sample at -15. Eight outputs at a time.
void Convolve(const Taps& reversed, const float* in, std::int64_t step, float* out, std::int64_t count) {
    std::int64_t o = 0;
    for (; o + kSide <= count; o += kSide) {
        Lanes even{}, odd{};
        for (std::int64_t j = 0; j < kTaps; j += 2) {
            Lanes a, b;
            std::memcpy(&a, in + o + j * step, sizeof a);
            std::memcpy(&b, in + o + (j + 1) * step, sizeof b);
            even += reversed[Size(j)] * a;
            odd += reversed[Size(j + 1)] * b;
        }
        const Lanes sum = even + odd;
        std::memcpy(out + o, &sum, sizeof sum);
    }
    for (; o < count; ++o) {
        float sum = 0;
        for (std::int64_t j = 0; j < kTaps; ++j) sum += reversed[Size(j)] * in[o + j * step];
        out[o] = sum;
    }
}

}  // namespace

JUniwardStrip::JUniwardStrip(const JpegComponent& c, std::uint32_t first, std::uint32_t last)
    : c_(c), first_(first), blocks_(last - first), width_(kSide * c.blocksWide),
      inRows_(kSide * blocks_ + 2 * kPad), inWidth_(width_ + 2 * kPad),
      outRows_(kSide * blocks_ + kReach - kSide), outWidth_(width_ + kReach - kSide) {}

void JUniwardStrip::Price(std::span<float> costs) {
    Decompress();
    std::vector<float> low(Size(inRows_, outWidth_)), high(Size(inRows_, outWidth_));
    const Taps lowTaps = Reversed(wavelet::kLowPass), highTaps = Reversed(wavelet::kHighPass);
    for (std::int64_t y = 0; y < inRows_; ++y) {
        Convolve(lowTaps, &picture_[Size(y, inWidth_)], 1, &low[Size(y, outWidth_)], outWidth_);
        Convolve(highTaps, &picture_[Size(y, inWidth_)], 1, &high[Size(y, outWidth_)], outWidth_);
    }
    picture_ = {};
    std::span<float> own = costs.subspan(Size(first_ * std::int64_t{c_.blocksWide}, JpegComponent::kBlock),
                                         Size(blocks_ * std::int64_t{c_.blocksWide}, JpegComponent::kBlock));
    std::fill(own.begin(), own.end(), 0.0f);
    // Vertical detail (low down the columns, high along the rows), horizontal, diagonal.
    AddBand(high, false, true, own);
    AddBand(low, true, false, own);
    AddBand(high, true, true, own);
    for (std::size_t i = 0; i < own.size(); ++i) own[i] *= c_.steps[i % JpegComponent::kBlock];
}

// The picture rows from 15 above the strip to 15 below it, each with 15 columns mirrored on
// either side.
void JUniwardStrip::Decompress() {
    const std::int64_t height = kSide * c_.blocksHigh;
    const std::int64_t top = kSide * first_ - kPad;
    std::int64_t lowest = height, highest = 0;
    for (std::int64_t y = 0; y < inRows_; ++y) {
        lowest = std::min(lowest, Reflect(top + y, height));
        highest = std::max(highest, Reflect(top + y, height));
    }
    const std::int64_t firstBlock = lowest / kSide, endBlock = highest / kSide + 1;
    std::vector<float> rows(Size((endBlock - firstBlock) * kSide, width_));
    for (std::int64_t by = firstBlock; by < endBlock; ++by)
        for (std::int64_t bx = 0; bx < c_.blocksWide; ++bx)
            Inverse(by * c_.blocksWide + bx, &rows[Size((by - firstBlock) * kSide, width_) + Size(bx * kSide)]);
    picture_.assign(Size(inRows_, inWidth_), 0.0f);
    for (std::int64_t y = 0; y < inRows_; ++y) {
        const float* source = &rows[Size(Reflect(top + y, height) - firstBlock * kSide, width_)];
        float* row = &picture_[Size(y, inWidth_)];
        for (std::int64_t x = 0; x < inWidth_; ++x) row[x] = source[Reflect(x - kPad, width_)];
    }
}

void JUniwardStrip::Inverse(std::int64_t block, float* out) const {
    const Basis& basis = TheBasis();
    const auto coefficients = c_.Block(static_cast<std::uint64_t>(block));
    double across[kSide][kSide];  // [v][j]: each row of modes along the columns
    for (std::int64_t v = 0; v < kSide; ++v)
        for (std::int64_t j = 0; j < kSide; ++j) {
            double sum = 0;
            for (std::int64_t u = 0; u < kSide; ++u) {
                const auto i = static_cast<std::size_t>(kSide * v + u);
                sum += static_cast<double>(coefficients[i]) * c_.steps[i] * basis.at[u][j];
            }
            across[v][j] = sum;
        }
    for (std::int64_t i = 0; i < kSide; ++i)
        for (std::int64_t j = 0; j < kSide; ++j) {
            double sum = 0;
            for (std::int64_t v = 0; v < kSide; ++v) sum += basis.at[v][i] * across[v][j];
            out[Size(i, width_) + Size(j)] = static_cast<float>(sum);
        }
}

void JUniwardStrip::AddBand(const std::vector<float>& rows, bool highDown, bool highAlong,
                            std::span<float> costs) const {
    const Profiles& p = TheProfiles();
    const Taps taps = Reversed(highDown ? wavelet::kHighPass : wavelet::kLowPass);
    const std::array<Modes, kReach>& vertical = highDown ? p.high : p.low;
    const std::array<Modes, kReach>& horizontal = highAlong ? p.high : p.low;
    std::vector<float> reciprocal(Size(outRows_, outWidth_));
    for (std::int64_t y = 0; y < outRows_; ++y) {
        float* out = &reciprocal[Size(y, outWidth_)];
        Convolve(taps, &rows[Size(y, outWidth_)], outWidth_, out, outWidth_);
        for (std::int64_t x = 0; x < outWidth_; ++x) out[x] = 1.0f / (JUniwardCosts::kStabiliser + std::abs(out[x]));
    }
    // Along the rows: for each residual row and block column, the eight horizontal modes;
    // four block columns at a time, so that the sums do not wait on one another.
    const std::int64_t wide = c_.blocksWide;
    std::vector<Modes> across(Size(outRows_, wide));
    for (std::int64_t y = 0; y < outRows_; ++y) {
        const float* r = &reciprocal[Size(y, outWidth_)];
        Modes* out = &across[Size(y, wide)];
        std::int64_t bx = 0;
        for (; bx + 4 <= wide; bx += 4) {
            Modes s0{}, s1{}, s2{}, s3{};
            const float* at = r + kSide * bx;
            for (std::int64_t t = 0; t < kReach; ++t) {
                const Modes h = horizontal[Size(t)];
                s0 += h * at[t];
                s1 += h * at[t + kSide];
                s2 += h * at[t + 2 * kSide];
                s3 += h * at[t + 3 * kSide];
            }
            out[bx] = s0;
            out[bx + 1] = s1;
            out[bx + 2] = s2;
            out[bx + 3] = s3;
        }
        for (; bx < wide; ++bx) {
            Modes sum{};
            for (std::int64_t t = 0; t < kReach; ++t) sum += horizontal[Size(t)] * r[kSide * bx + t];
            out[bx] = sum;
        }
    }
    // Down the columns: each block's 64 modes, four rows of modes at a time to keep the sums
    // in registers.
    constexpr std::int64_t kHalf = kSide / 2;
    for (std::int64_t by = 0; by < blocks_; ++by)
        for (std::int64_t bx = 0; bx < wide; ++bx) {
            float* out = &costs[Size(by * wide + bx, JpegComponent::kBlock)];
            for (std::int64_t half = 0; half < kSide; half += kHalf) {
                Modes sums[kHalf];
                std::memcpy(sums, out + kSide * half, sizeof sums);
                for (std::int64_t t = 0; t < kReach; ++t) {
                    const Modes row = across[Size(kSide * by + t, wide) + Size(bx)];
                    const Modes a = vertical[Size(t)];
                    for (std::int64_t v = 0; v < kHalf; ++v) sums[v] += a[half + v] * row;
                }
                std::memcpy(out + kSide * half, sums, sizeof sums);
            }
        }
}

}  // namespace velquist::stealth
