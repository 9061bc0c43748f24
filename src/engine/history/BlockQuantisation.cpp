// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/history/BlockQuantisation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_set>
#include <vector>

namespace velquist::history {

namespace {

constexpr int kRange = 1024;  // coefficients of 8-bit samples stay within +-1024
constexpr int kLargestStep = 255;
// A fitted step: coefficients on its multiples outnumber those beside them three to one, at
// least 60 % of those beyond its first half are on them, and they take at least 16 distinct
// values. A decoded JPEG's coefficients sit off their multiples by rounding noise, each block
// its own; a drawing in a few tones repeats a few exact values, which fit some step by chance.
constexpr double kLeastPeak = 0.75;
constexpr double kLeastCover = 0.6;
constexpr int kFewestDistinctOnLattice = 16;
constexpr int kFine = 64;  // distinct values are told apart to 1/64

// The orthonormal 8-point transform, as the JPEG transform is.
struct Transform {
    std::array<std::array<float, 8>, 8> basis{};
    Transform() {
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x)
                basis[u][x] = static_cast<float>((u == 0 ? std::sqrt(0.125) : 0.5) *
                                                 std::cos((2 * x + 1) * u * std::numbers::pi / 16));
    }
    void Apply(const std::array<float, 64>& block, std::array<float, 64>& out) const {
        std::array<float, 64> rows;
        for (int y = 0; y < 8; ++y)
            for (int u = 0; u < 8; ++u) {
                float sum = 0;
                for (int x = 0; x < 8; ++x) sum += basis[u][x] * block[y * 8 + x];
                rows[y * 8 + u] = sum;
            }
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u) {
                float sum = 0;
                for (int y = 0; y < 8; ++y) sum += basis[v][y] * rows[y * 8 + u];
                out[v * 8 + u] = sum;
            }
    }
};

// One frequency's coefficients, folded by magnitude: count[m] holds those that round to +m
// and -m, and `values` which magnitudes occur, to 1/64.
struct Folded {
    std::array<double, kRange + 2> count{};
    std::vector<std::uint64_t> values = std::vector<std::uint64_t>((kRange + 1) * kFine / 64 + 1, 0);

    void Add(float coefficient) {
        float magnitude = std::min(std::fabs(coefficient), static_cast<float>(kRange));
        count[static_cast<std::size_t>(magnitude + 0.5f)] += 1;
        auto fine = static_cast<std::size_t>(magnitude * kFine);
        values[fine / 64] |= std::uint64_t{1} << (fine % 64);
    }
    // Distinct magnitudes that round to m.
    int DistinctAt(int m) const {
        int distinct = 0;
        for (int fine = std::max(0, m * kFine - kFine / 2); fine < m * kFine + kFine / 2; ++fine)
            distinct += static_cast<int>((values[fine / 64] >> (fine % 64)) & 1);
        return distinct;
    }
};

struct StepFit {
    int step = 0;
    double on = 0;
    double informative = 0;
    double evidence = 0;
};

double Evidence(double on, double beside) {
    double n = on + beside;
    double x = on / n;
    double kl = x * std::log(2 * x) + (x < 1 ? (1 - x) * std::log(2 * (1 - x)) : 0.0);
    return n * kl;
}

bool Diverse(const Folded& folded, int q) {
    int distinct = 0;
    for (int m = q; m <= kRange && distinct < kFewestDistinctOnLattice; m += q) distinct += folded.DistinctAt(m);
    return distinct >= kFewestDistinctOnLattice;
}

// The largest step that fits: its divisors fit as well (their multiples include its own),
// its multiples do not (they leave coefficients between their multiples).
StepFit FitStep(const Folded& folded) {
    const auto& count = folded.count;
    std::array<double, kRange + 2> beyond{};  // beyond[m]: coefficients of magnitude >= m
    for (int m = kRange; m >= 0; --m) beyond[m] = beyond[m + 1] + count[m];
    StepFit best;
    for (int q = 2; q <= kLargestStep; ++q) {
        double on = 0;
        double beside = 0;
        for (int m = q; m <= kRange; m += q) {
            on += count[m];
            beside += 0.5 * (count[m - 1] + count[m + 1]);
        }
        double informative = beyond[q / 2 + 1];
        // Distinct values are never more than the coefficients, and far dearer to count.
        if (on < kFewestDistinctOnLattice || on < kLeastPeak * (on + beside) || on < kLeastCover * informative ||
            !Diverse(folded, q))
            continue;
        best = {q, on, informative, Evidence(on, beside)};
    }
    return best;
}

class BlockReader {
public:
    BlockReader(const Pixels& pixels, bool grey) : pixels_(pixels), grey_(grey) {}

    // The block's level-shifted samples; false when it is to be left out.
    bool Read(unsigned left, unsigned top, std::array<float, 64>& block, std::uint64_t& hash) const {
        hash = 14695981039346656037ull;
        bool flat = true;
        const std::uint8_t* first = Sample(left, top);
        for (unsigned y = 0; y < 8; ++y) {
            for (unsigned x = 0; x < 8; ++x) {
                std::size_t pixel = static_cast<std::size_t>(top + y) * pixels_.width + left + x;
                if (!pixels_.carriesAt(pixel)) return false;
                const std::uint8_t* s = pixels_.rgb.data() + 3 * pixel;
                for (int c = 0; c < (grey_ ? 1 : 3); ++c) {
                    if (s[c] == 0 || s[c] == 255) return false;
                    hash = (hash ^ s[c]) * 1099511628211ull;
                }
                flat = flat && s[0] == first[0] && s[1] == first[1] && s[2] == first[2];
                block[y * 8 + x] = (grey_ ? s[0] : 0.299f * s[0] + 0.587f * s[1] + 0.114f * s[2]) - 128.0f;
            }
        }
        return !flat;
    }

private:
    const std::uint8_t* Sample(unsigned x, unsigned y) const {
        return pixels_.rgb.data() + 3 * (static_cast<std::size_t>(y) * pixels_.width + x);
    }

    const Pixels& pixels_;
    bool grey_;
};

}  // namespace

BlockFit BlockQuantisation::Measure(const Pixels& pixels, bool grey, unsigned left, unsigned top,
                                    std::size_t mostBlocks) {
    BlockFit result;
    result.left = left;
    result.top = top;
    if (pixels.width < left + 8 || pixels.height < top + 8 || mostBlocks == 0) return result;
    std::size_t across = (pixels.width - left) / 8;
    std::size_t down = (pixels.height - top) / 8;
    std::size_t total = across * down;
    std::size_t stride = (total + mostBlocks - 1) / mostBlocks;

    static const Transform transform;
    BlockReader reader(pixels, grey);
    std::vector<Folded> counts(64);
    std::unordered_set<std::uint64_t> seen;
    seen.reserve(std::min(total, mostBlocks));
    std::array<float, 64> block;
    std::array<float, 64> coefficients;
    for (std::size_t b = 0; b < total; b += stride) {
        unsigned x = left + static_cast<unsigned>(b % across) * 8;
        unsigned y = top + static_cast<unsigned>(b / across) * 8;
        std::uint64_t hash = 0;
        if (!reader.Read(x, y, block, hash) || !seen.insert(hash).second) continue;
        ++result.blocks;
        transform.Apply(block, coefficients);
        for (int f = 0; f < 64; ++f) counts[f].Add(coefficients[f]);
    }

    double on = 0;
    double informative = 0;
    for (int f = 0; f < 64; ++f) {
        StepFit fit = FitStep(counts[f]);
        if (fit.step == 0) continue;
        result.steps[f] = static_cast<std::uint16_t>(fit.step);
        ++result.fittedFrequencies;
        on += fit.on;
        informative += fit.informative;
        result.evidence += fit.evidence;
    }
    result.fit = informative > 0 ? on / informative : 0.0;
    return result;
}

}  // namespace velquist::history
