// SPDX-License-Identifier: GPL-3.0-or-later
#include "SelfCheck.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <random>
#include <string>

#include "ChiSquareDistribution.h"
#include "CliEmbedder.h"
#include "CoefficientSimulator.h"
#include "CrossValidation.h"
#include "DctrFeatures.h"
#include "Entropy.h"
#include "JpegCodec.h"
#include "PayloadLimitedSender.h"
#include "RocAuc.h"
#include "RsAnalysis.h"
#include "SamplePairAnalysis.h"
#include "SpamFeatures.h"
#include "UniformCoefficientCosts.h"
#include "WeightedStego.h"

namespace velquist::detect {

namespace {

class Checks {
public:
    explicit Checks(std::ostream& out) : out_(out) {}
    void expect(bool ok, const std::string& what) {
        out_ << (ok ? "ok    " : "FAIL  ") << what << "\n";
        if (!ok) ++failed_;
    }
    void near(double value, double want, double tolerance, const std::string& what) {
        expect(std::abs(value - want) <= tolerance,
               what + ": " + std::to_string(value) + " (want " + std::to_string(want) + ")");
    }
    int failed() const { return failed_; }

private:
    std::ostream& out_;
    int failed_ = 0;
};

// A smooth picture with a little sensor-like noise, unlike any corpus crop, so the structural
// estimators see the kind of cover their models assume.
Picture SyntheticCover(std::uint64_t seed, int side = 256) {
    Picture p{side, side, std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side * 3)};
    std::mt19937_64 random(seed);
    std::normal_distribution<double> noise(0.0, 1.5);
    for (int r = 0; r < p.height; ++r)
        for (int c = 0; c < p.width; ++c)
            for (int ch = 0; ch < 3; ++ch) {
                double v = 128 + 70 * std::sin(c / (17.0 + 4 * ch)) * std::cos(r / 23.0) +
                           25 * std::sin((r + 2 * c) / 41.0) + noise(random);
                p.samples[p.index(r, c, ch)] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            }
    return p;
}

// LSB replacement of random bits in a random `fraction` of the samples.
Picture ReplaceLowBits(Picture p, double fraction, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::bernoulli_distribution carries(fraction);
    for (std::uint8_t& s : p.samples)
        if (carries(random)) s = static_cast<std::uint8_t>((s & 0xFE) | (random() & 1));
    return p;
}

void CheckEstimators(Checks& checks) {
    const Picture cover = SyntheticCover(7);
    for (double fraction : {0.0, 0.2, 0.5}) {
        const Picture carrier = ReplaceLowBits(cover, fraction, 11);
        const std::string at = " at LSB replacement rate " + std::to_string(fraction);
        checks.near(RsAnalysis().score(carrier), fraction, 0.05, "RS estimate" + at);
        checks.near(SamplePairAnalysis().score(carrier), fraction, 0.05, "SPA estimate" + at);
        checks.near(WeightedStego().score(carrier), fraction, 0.05, "WS estimate" + at);
    }
}

void CheckSpam(Checks& checks) {
    // A flat plane has only zero differences: Pr(0 | 0, 0) = 1 in both halves, all else 0.
    const Plane flat{16, 16, std::vector<int>(256, 90)};
    const std::vector<double> f = SpamFeatures(flat);
    const int zero = (kSpamTruncation * kSpamValues + kSpamTruncation) * kSpamValues + kSpamTruncation;
    const int half = kSpamFeatures / 2;
    checks.expect(f.size() == 686, "SPAM gives 686 features");
    checks.expect(f[zero] == 1.0 && f[half + zero] == 1.0 &&
                      std::accumulate(f.begin(), f.end(), 0.0) == 2.0,
                  "SPAM of a flat plane is Pr(0 | 0, 0) = 1 in both halves");
    Plane ramp{16, 16, std::vector<int>(256)};
    for (int i = 0; i < 256; ++i) ramp.values[i] = 5 * (i % 16);  // steps of 5, clipped to 3
    const std::vector<double> g = SpamFeatures(ramp);
    const int clipped = (0 * kSpamValues + 0) * kSpamValues + 0;  // -3, -3, -3 going right
    checks.expect(std::abs(g[clipped] - 0.25) < 1e-12 && std::abs(g[zero] - 0.5) < 1e-12,
                  "SPAM clips differences to [-3, 3] and averages directions");
}

void CheckStatistics(Checks& checks) {
    checks.near(ChiSquareUpperTail(3.841459, 1), 0.05, 1e-5, "chi-square tail, 1 degree of freedom");
    checks.near(ChiSquareUpperTail(18.307038, 10), 0.05, 1e-5, "chi-square tail, 10 degrees of freedom");
    checks.near(ChiSquareUpperTail(124.342113, 100), 0.05, 1e-5, "chi-square tail, 100 degrees of freedom");
    checks.near(RocAuc({1, 2, 3}, {4, 5}), 1.0, 0.0, "AUC of a perfect separator");
    checks.near(RocAuc({4, 5}, {1, 2, 3}), 0.0, 0.0, "AUC of a reversed separator");
    checks.near(RocAuc({1, 2, 3}, {2, 4}), 0.75, 1e-12, "AUC with a tie counting one half");
    checks.near(InverseBinaryEntropy(BinaryEntropy(0.08)), 0.08, 1e-9, "inverse binary entropy");
    std::vector<double> costs(1000);
    for (std::size_t i = 0; i < costs.size(); ++i) costs[i] = 0.1 + 0.01 * static_cast<double>(i);
    double bits = 0.0;
    for (double p : ChangeProbabilities(costs, 200.0)) bits += BinaryEntropy(p);
    checks.near(bits, 200.0, 0.01, "payload-limited sender carries the payload");
    checks.expect(CliEmbedder::MessageLength(1, 0.1, 196608) == 2458 &&
                      CliEmbedder::MessageLength(2, 0.1, 196608) == 2401 &&
                      CliEmbedder::MessageLength(3, 0.1, 196608) == 2397 &&
                      CliEmbedder::MessageLength(2, 0.4, 4730 * 4730 * 3) == 3355935 - 40 - 17 * 52,
                  "message lengths: 0.1 bits per sample of 256 x 256 is 2458 bytes carried");
}

void CheckEnsemble(Checks& checks) {
    std::mt19937_64 random(3);
    std::normal_distribution<double> noise(0.0, 1.0);
    const int n = 200, d = 60;
    Eigen::MatrixXd covers(n, d), shifted(n, d), same(n, d);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < d; ++j) {
            covers(i, j) = noise(random);
            same(i, j) = noise(random);
            shifted(i, j) = noise(random) + (j < 5 ? 1.0 : 0.0);
        }
    std::vector<int> fold(n);
    for (int i = 0; i < n; ++i) fold[i] = i % 4;
    // With every feature in each subspace the learners are bagged Fisher discriminants; one
    // discriminant trained on the same 150 pairs reaches an AUC of about 0.91 here.
    const double separated = CrossValidatedAuc(covers, shifted, fold, 4, {31, 60, 2, 5});
    checks.expect(separated > 0.85, "ensemble separates classes shifted by one deviation in 5 of 60 features: " +
                                        std::to_string(separated));
    checks.near(CrossValidatedAuc(covers, same, fold, 4, {31, 20, 2, 5}), 0.5, 0.1,
                "ensemble is a coin toss on identical classes");
}

void CheckDctr(Checks& checks) {
    const Plane flat{32, 32, std::vector<int>(32 * 32, 90)};
    const std::vector<double> f = DctrFeatures(flat, DctrStep(75));
    // Every AC kernel gives 0 on a flat plane; the DC kernel gives 8 x 90 / 4 = 180, past T.
    bool flatOk = f.size() == 8000 && std::accumulate(f.begin(), f.end(), 0.0) == 64.0 * kDctrClasses;
    for (int cls = 0; cls < kDctrClasses; ++cls) {
        flatOk = flatOk && f[cls * 5 + kDctrThreshold] == 1.0;
        for (int kernel = 1; kernel < 64; ++kernel) flatOk = flatOk && f[(kernel * kDctrClasses + cls) * 5] == 1.0;
    }
    checks.expect(flatOk, "DCTR gives 8000 features; a flat plane has only zero AC responses");
    // Mirroring a plane whose sides are whole blocks keeps the grid, and merging offsets a and
    // 8 - a makes the features the same. Several kernels give multiples of 1/8 on integers; a
    // step of pi keeps those off the rounding's ties, which sums in another order could break
    // the other way.
    std::mt19937_64 random(5);
    Plane plane{48, 40, std::vector<int>(48 * 40)}, mirrored = plane;
    for (int& v : plane.values) v = static_cast<int>(random() % 40) + 100;
    for (int r = 0; r < plane.height; ++r)
        for (int c = 0; c < plane.width; ++c)
            mirrored.values[r * plane.width + c] = plane.at(plane.height - 1 - r, plane.width - 1 - c);
    const std::vector<double> a = DctrFeatures(plane, std::numbers::pi), b = DctrFeatures(mirrored, std::numbers::pi);
    double largest = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    checks.expect(largest < 1e-12, "DCTR is the same for a plane mirrored about the block grid");
    checks.near(DctrStep(75), 4.0, 0.0, "DCTR step at quality 75");
    checks.near(DctrStep(95), 0.8, 1e-12, "DCTR step at quality 95");
}

void CheckCoefficientSimulator(Checks& checks) {
    std::mt19937_64 random(9);
    bool up = false, down = false;
    for (int i = 0; i < 64; ++i) {
        const std::int16_t v = CoefficientSimulator::PlusMinusOne(5, random);
        up = up || v == 6;
        down = down || v == 4;
    }
    checks.expect(CoefficientSimulator::PlusMinusOne(kCoefficientLimit, random) == kCoefficientLimit - 1 &&
                      CoefficientSimulator::PlusMinusOne(-kCoefficientLimit, random) == 1 - kCoefficientLimit &&
                      up && down,
                  "coefficient changes go both ways, and inward at +-1023");

    const std::vector<std::uint8_t> file = JpegCodec::Compress(SyntheticCover(21, 128), 75);
    const JpegCoefficients cover = JpegCodec::ReadCoefficients(file);
    checks.expect(cover.components.size() == 3 && cover.components[0].blocksWide == 16 &&
                      cover.components[1].blocksWide == 8 && cover.components[0].steps[0] == 8,
                  "libjpeg at quality 75 writes 4:2:0 with the standard luminance DC step 8");
    const std::vector<Plane> decoded = JpegCodec::DecodeComponents(file);
    const std::vector<Plane> again = JpegCodec::DecodeComponents(JpegCodec::WithCoefficients(file, cover));
    checks.expect(decoded.size() == 3 && decoded[0].width == 128 && decoded[1].width == 64 &&
                      decoded[2].height == 64 && again.size() == 3 && again[0].values == decoded[0].values &&
                      again[1].values == decoded[1].values && again[2].values == decoded[2].values,
                  "a JPEG rewritten with its own coefficients decodes the same, chroma at half size");
    const CoefficientSimulator uniform(std::make_unique<UniformCoefficientCosts>(), 1.0);
    std::string failure;
    const std::optional<JpegCoefficients> carrier = uniform.changed(cover, 0.4, 13, failure);
    const bool made = carrier.has_value();
    bool onlyNonZeroAc = made;
    for (std::size_t c = 0; made && c < cover.components.size(); ++c)
        for (std::size_t i = 0; i < cover.components[c].values.size(); ++i) {
            const int before = cover.components[c].values[i], after = carrier->components[c].values[i];
            onlyNonZeroAc = onlyNonZeroAc && (after == before || (i % 64 != 0 && before != 0 && std::abs(after - before) == 1));
        }
    checks.expect(onlyNonZeroAc, "uniform costs change only non-zero AC coefficients, each by 1");
    const double nonZero = static_cast<double>(cover.nonZeroAc());
    checks.near(made ? static_cast<double>(carrier->changedFrom(cover)) / nonZero : 1.0, InverseBinaryEntropy(0.4),
                3.0 * std::sqrt(0.08 / nonZero), "uniform costs change the coefficients at the entropy bound's rate");
    checks.expect(JpegCodec::ReadCoefficients(JpegCodec::WithCoefficients(file, *carrier)).changedFrom(*carrier) == 0,
                  "changed coefficients survive the rewrite");
    checks.expect(!uniform.changed(cover, 1.0, 13, failure),
                  "a payload of more bits than changeable coefficients is refused");
    const std::optional<JpegCoefficients> lumaOnly =
        CoefficientSimulator(std::make_unique<UniformCoefficientCosts>(), std::nullopt).changed(cover, 0.2, 13, failure);
    checks.expect(lumaOnly && lumaOnly->components[1].values == cover.components[1].values &&
                      lumaOnly->components[2].values == cover.components[2].values &&
                      lumaOnly->components[0].values != cover.components[0].values,
                  "without a chroma weight only the luminance changes");
}

// A known answer on synthetic JPEG covers: +-1 in the non-zero AC coefficients at 0.4 bits per
// such coefficient is plain to DCTR with the ensemble. (At no payload a carrier is its cover
// rewritten, which decodes the same, as checked above.)
void CheckDctrDetects(Checks& checks) {
    const int n = 40;
    const CoefficientSimulator uniform(std::make_unique<UniformCoefficientCosts>(), 1.0);
    Eigen::MatrixXd covers(n, kDctrFeatures), carriers(n, kDctrFeatures);
    std::vector<int> fold(n);
    for (int i = 0; i < n; ++i) {
        const std::vector<std::uint8_t> file = JpegCodec::Compress(SyntheticCover(100 + i, 128), 75);
        const JpegCoefficients coefficients = JpegCodec::ReadCoefficients(file);
        std::string failure;
        const std::vector<std::uint8_t> carrier =
            JpegCodec::WithCoefficients(file, *uniform.changed(coefficients, 0.4, 200 + i, failure));
        auto row = [&](const std::vector<std::uint8_t>& bytes) {
            return Eigen::Map<const Eigen::RowVectorXd>(
                DctrFeatures(JpegCodec::DecodeComponents(bytes)[0], DctrStep(75)).data(), kDctrFeatures);
        };
        covers.row(i) = row(file);
        carriers.row(i) = row(carrier);
        fold[i] = i % 4;
    }
    const double seen = CrossValidatedAuc(covers, carriers, fold, 4, {31, 40, 2, 7});
    checks.expect(seen > 0.9, "DCTR sees +-1 at 0.4 bits per non-zero AC coefficient: " + std::to_string(seen));
}

}  // namespace

int RunSelfCheck(std::ostream& out) {
    Checks checks(out);
    CheckEstimators(checks);
    CheckSpam(checks);
    CheckStatistics(checks);
    CheckEnsemble(checks);
    CheckDctr(checks);
    CheckCoefficientSimulator(checks);
    CheckDctrDetects(checks);
    out << (checks.failed() == 0 ? "all checks passed\n" : std::to_string(checks.failed()) + " checks failed\n");
    return checks.failed();
}

}  // namespace velquist::detect
