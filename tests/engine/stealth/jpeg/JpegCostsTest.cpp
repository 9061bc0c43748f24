// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <stdexcept>
#include <vector>

#include "TestJpeg.h"
#include "engine/stealth/jpeg/JUniwardCosts.h"
#include "engine/stealth/jpeg/UerdCosts.h"
#include "engine/stealth/jpeg/WaveletFilters.h"

namespace velquist::stealth {
namespace {

using testing::TestJpeg;
using Texture = TestJpeg::Texture;
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Model {
    const char* name;
    std::function<std::unique_ptr<JpegCostModel>(JpegCostOptions)> make;
};
const Model kModels[] = {
    {"UERD", [](JpegCostOptions o) { return std::make_unique<UerdCosts>(o); }},
    {"J-UNIWARD", [](JpegCostOptions o) { return std::make_unique<JUniwardCosts>(o); }},
};

std::vector<float> Fill(const JpegCostModel& model, const JpegView& view) {
    std::vector<float> costs(view.SampleCount(), -1.0f);
    model.Fill(view, costs, 2);
    return costs;
}

// 6 x 4 blocks: texture on the left, smooth on the right, a smooth block inside the texture and
// a flat one inside the smooth part:
//   B B B S S S
//   B B B S S S
//   B S B S F S
//   B B B S S S
void PaintMixed(TestJpeg& jpeg, std::size_t c, unsigned seed) {
    std::mt19937 rng(seed);
    for (std::uint32_t by = 0; by < 4; ++by)
        for (std::uint32_t bx = 0; bx < 6; ++bx) {
            Texture t = bx < 3 ? Texture::Busy : Texture::Smooth;
            if (bx == 1 && by == 2) t = Texture::Smooth;
            if (bx == 4 && by == 2) t = Texture::Flat;
            jpeg.Paint(c, bx, by, t, rng);
        }
}

std::size_t At(std::uint32_t bx, std::uint32_t by, std::size_t mode) { return (by * 6 + bx) * 64 + mode; }

// Every cost is positive and finite but for the flat block's, which are all held (its DC
// included). Texture is cheaper than smooth content in every mode, and a smooth block among
// texture cheaper than one among smooth blocks.
TEST(JpegCosts, AreCheaperInTextureAndHeldWithoutAcEnergy) {
    for (const Model& m : kModels) {
        SCOPED_TRACE(m.name);
        TestJpeg jpeg(48, 32, {{1, 1, 6, 4}});
        jpeg.SetPhotoSteps();
        PaintMixed(jpeg, 0, 1);
        const std::vector<float> costs = Fill(*m.make({}), jpeg.view);
        for (std::size_t i = 0; i < costs.size(); ++i) {
            const bool held = i / 64 == 2 * 6 + 4;
            if (held) {
                EXPECT_EQ(costs[i], kInf) << i;
            } else {
                EXPECT_TRUE(costs[i] > 0 && std::isfinite(costs[i])) << i << ": " << costs[i];
            }
        }
        for (std::size_t mode = 0; mode < 64; ++mode) {
            SCOPED_TRACE(mode);
            EXPECT_LT(costs[At(1, 1, mode)], costs[At(4, 1, mode)]);
            EXPECT_LT(costs[At(1, 2, mode)], costs[At(4, 0, mode)]);
        }
    }
}

// A mode's cost grows with its step: doubling the step of a mode whose coefficients are all zero
// doubles that mode's costs and leaves the others. The DC mode of the quick costs is priced with
// the first AC steps, so its own step changes nothing there.
TEST(JpegCosts, FollowTheQuantisationSteps) {
    struct Row {
        std::size_t model, mode;
        double ratio, others;
    };
    const Row rows[] = {{0, 63, 2, 1}, {1, 63, 2, 1}, {0, 50, 2, 1}, {1, 50, 2, 1}, {0, 0, 1, 1}};
    for (const Row& row : rows) {
        const Model& m = kModels[row.model];
        SCOPED_TRACE(::testing::Message() << m.name << ", mode " << row.mode);
        TestJpeg jpeg(48, 32, {{1, 1, 6, 4}});
        jpeg.SetPhotoSteps();
        PaintMixed(jpeg, 0, 2);
        const auto model = m.make({});
        const std::vector<float> before = Fill(*model, jpeg.view);
        jpeg.view.components[0].steps[row.mode] *= 2;
        const std::vector<float> after = Fill(*model, jpeg.view);
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (std::isinf(before[i])) continue;
            const double ratio = i % 64 == row.mode ? row.ratio : row.others;
            ASSERT_NEAR(after[i] / before[i], ratio, 1e-5) << i;
        }
    }
}

// Negating every coefficient negates the picture and its residuals, not their magnitudes.
TEST(JpegCosts, DoNotDependOnTheCoefficientsSigns) {
    for (const Model& m : kModels) {
        SCOPED_TRACE(m.name);
        TestJpeg jpeg(48, 32, {{1, 1, 6, 4}});
        jpeg.SetPhotoSteps();
        PaintMixed(jpeg, 0, 3);
        const auto model = m.make({});
        const std::vector<float> before = Fill(*model, jpeg.view);
        for (std::int16_t& c : jpeg.planes[0]) c = static_cast<std::int16_t>(-c);
        EXPECT_EQ(Fill(*model, jpeg.view), before);
    }
}

// Chroma is priced from its own content, then weighted: luminance keeps its costs, chroma's are
// scaled, and an infinite weight holds it whole. A weight that is not positive is refused.
TEST(JpegCosts, WeighChromaByTheOption) {
    for (const Model& m : kModels) {
        SCOPED_TRACE(m.name);
        TestJpeg jpeg(48, 32, {{1, 1, 6, 4}, {1, 1, 6, 4}, {1, 1, 6, 4}});
        jpeg.SetPhotoSteps();
        for (std::size_t c = 0; c < 3; ++c) PaintMixed(jpeg, c, static_cast<unsigned>(4 + c));
        const std::vector<float> plain = Fill(*m.make({}), jpeg.view);
        const std::vector<float> weighted = Fill(*m.make({.chroma = 2.5f}), jpeg.view);
        const std::vector<float> held = Fill(*m.make({.chroma = kInf}), jpeg.view);
        for (std::size_t i = 0; i < plain.size(); ++i) {
            SCOPED_TRACE(i);
            if (i < 24 * 64) {
                ASSERT_EQ(weighted[i], plain[i]);
                ASSERT_EQ(held[i], plain[i]);
            } else {
                ASSERT_FLOAT_EQ(weighted[i], std::isinf(plain[i]) ? kInf : 2.5f * plain[i]);
                ASSERT_EQ(held[i], kInf);
            }
        }
        // The chroma planes differ, and so do their costs.
        EXPECT_NE(std::vector<float>(plain.begin() + 24 * 64, plain.begin() + 48 * 64),
                  std::vector<float>(plain.begin() + 48 * 64, plain.end()));
        for (float weight : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})
            EXPECT_THROW(m.make({.chroma = weight}), std::invalid_argument) << weight;
    }
}

// The residual filters are Daubechies' orthonormal pair with eight vanishing moments: any slip
// in a digit breaks one of these.
TEST(JpegCosts, WaveletFiltersAreAnOrthonormalPairWithEightVanishingMoments) {
    const auto& h = wavelet::kLowPass;
    const auto& g = wavelet::kHighPass;
    double sum = 0;
    for (double tap : h) sum += tap;
    EXPECT_NEAR(sum, std::sqrt(2.0), 1e-11);
    for (std::size_t shift = 0; shift < 8; ++shift) {
        double self = 0, cross = 0;
        for (std::size_t k = 0; k + 2 * shift < 16; ++k) {
            self += h[k] * h[k + 2 * shift];
            cross += h[k] * g[k + 2 * shift] + g[k] * h[k + 2 * shift];
        }
        EXPECT_NEAR(self, shift == 0 ? 1.0 : 0.0, 1e-11) << shift;
        EXPECT_NEAR(cross, 0.0, 1e-11) << shift;
    }
    for (int p = 0; p < 8; ++p) {
        double moment = 0;
        for (std::size_t k = 0; k < 16; ++k) moment += std::pow(static_cast<double>(k), p) * g[k];
        EXPECT_NEAR(moment, 0.0, 1e-10 * std::pow(15.0, p)) << p;
    }
}

// J-UNIWARD's costs from their definition, slowly: the picture decompressed with the DCT basis,
// its three residuals by a mirror-padded 2-D convolution, and for each block and mode the sum
// over the plane around the block of |what the change does to a residual| / (1/64 + |residual|).
class DirectJUniward {
public:
    explicit DirectJUniward(const JpegComponent& c)
        : c_(c), width_(8 * static_cast<int>(c.blocksWide)), height_(8 * static_cast<int>(c.blocksHigh)) {
        std::vector<double> picture(static_cast<std::size_t>(width_ * height_));
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const auto block = c.Block(static_cast<std::uint64_t>((y / 8) * (width_ / 8) + x / 8));
                double sum = 0;
                for (int v = 0; v < 8; ++v)
                    for (int u = 0; u < 8; ++u)
                        sum += block[8 * v + u] * c.steps[8 * v + u] * Basis(v, y % 8) * Basis(u, x % 8);
                picture[static_cast<std::size_t>(y * width_ + x)] = sum;
            }
        for (int k = 0; k < 3; ++k) {
            residuals_[k].resize(static_cast<std::size_t>((height_ + 2 * kMargin) * (width_ + 2 * kMargin)));
            for (int y = -kMargin; y < height_ + kMargin; ++y)
                for (int x = -kMargin; x < width_ + kMargin; ++x) {
                    double sum = 0;
                    for (int a = 0; a < 16; ++a)
                        for (int b = 0; b < 16; ++b)
                            sum += Down(k)[a] * Along(k)[b] *
                                   picture[static_cast<std::size_t>(Mirror(y + 7 - a, height_) * width_ +
                                                                    Mirror(x + 7 - b, width_))];
                    Residual(k, y, x) = sum;
                }
        }
    }

    double Cost(int bx, int by, int v, int u) {
        double cost = 0;
        for (int k = 0; k < 3; ++k)
            for (int y = 8 * by - kMargin; y < 8 * by + 8 + kMargin; ++y)
                for (int x = 8 * bx - kMargin; x < 8 * bx + 8 + kMargin; ++x) {
                    double change = 0;
                    for (int i = 0; i < 8; ++i)
                        for (int j = 0; j < 8; ++j) {
                            const int a = y + 7 - (8 * by + i), b = x + 7 - (8 * bx + j);
                            if (a >= 0 && a < 16 && b >= 0 && b < 16)
                                change += Down(k)[a] * Along(k)[b] * c_.steps[8 * v + u] * Basis(v, i) * Basis(u, j);
                        }
                    cost += std::abs(change) / (1.0 / 64 + std::abs(Residual(k, y, x)));
                }
        return cost;
    }

private:
    // Wider than any change reaches (7 before the block, 8 after it).
    static constexpr int kMargin = 10;

    static const std::array<double, 16>& Down(int k) { return k == 0 ? wavelet::kLowPass : wavelet::kHighPass; }
    static const std::array<double, 16>& Along(int k) { return k == 1 ? wavelet::kLowPass : wavelet::kHighPass; }
    static double Basis(int m, int i) {
        return (m == 0 ? std::sqrt(0.125) : 0.5) * std::cos(std::numbers::pi * m * (2 * i + 1) / 16);
    }
    static int Mirror(int i, int n) {
        while (i < 0 || i >= n) i = i < 0 ? -1 - i : 2 * n - 1 - i;
        return i;
    }
    double& Residual(int k, int y, int x) {
        return residuals_[k][static_cast<std::size_t>((y + kMargin) * (width_ + 2 * kMargin) + x + kMargin)];
    }

    const JpegComponent& c_;
    int width_, height_;
    std::vector<double> residuals_[3];
};

// The two 23-tap passes give what the definition gives, at the picture's edges too, on pictures
// as small as one block (mirrored more than once).
TEST(JpegCosts, JUniwardPassesEqualTheDirectSum) {
    struct Row {
        std::uint32_t wide, high;
    };
    for (const Row row : {Row{3, 2}, Row{1, 1}, Row{2, 1}}) {
        SCOPED_TRACE(::testing::Message() << row.wide << " x " << row.high << " blocks");
        TestJpeg jpeg(8 * row.wide, 8 * row.high, {{1, 1, row.wide, row.high}});
        jpeg.SetPhotoSteps();
        std::mt19937 rng(row.wide * 10 + row.high);
        for (std::uint32_t b = 0; b < row.wide * row.high; ++b)
            jpeg.Paint(0, b % row.wide, b / row.wide, b % 3 == 1 ? Texture::Smooth : Texture::Busy, rng);
        const std::vector<float> costs = Fill(JUniwardCosts(), jpeg.view);
        DirectJUniward direct(jpeg.view.components[0]);
        for (std::uint32_t b = 0; b < row.wide * row.high; ++b)
            for (int mode = 0; mode < 64; mode += row.wide == 3 ? 7 : 3) {
                const double want = direct.Cost(static_cast<int>(b % row.wide), static_cast<int>(b / row.wide),
                                                mode / 8, mode % 8);
                ASSERT_NEAR(costs[b * 64 + static_cast<std::size_t>(mode)], want, 1e-3 * want)
                    << "block " << b << ", mode " << mode;
            }
    }
}

}  // namespace
}  // namespace velquist::stealth
