// SPDX-License-Identifier: GPL-3.0-or-later
#include "PixelPatternSimulator.h"

#include <cmath>
#include <random>
#include <sstream>

#include "HillCost.h"

namespace velquist::detect {

namespace {

constexpr int kPatterns = 8;

// The probabilities of each pixel's patterns at lambda, and their summed entropy in bits.
double EntropyBits(const std::vector<PixelPatternSimulator::PatternCosts>& costs, double lambda,
                   std::vector<std::array<double, kPatterns>>* probabilities) {
    double nats = 0.0;
    for (std::size_t i = 0; i < costs.size(); ++i) {
        std::array<double, kPatterns> p{};
        double sum = 0.0, weighted = 0.0;
        for (int k = 0; k < kPatterns; ++k) {
            p[k] = std::exp(-lambda * costs[i][k]);
            sum += p[k];
            weighted += p[k] * lambda * costs[i][k];
        }
        nats += std::log(sum) + weighted / sum;
        if (probabilities) {
            for (double& v : p) v /= sum;
            (*probabilities)[i] = p;
        }
    }
    return nats / std::log(2.0);
}

std::uint8_t Moved(std::uint8_t sample, int way) {
    if (sample == 0) return 1;
    if (sample == 255) return 254;
    return static_cast<std::uint8_t>(sample + way);
}

}  // namespace

std::string PixelPatternSimulator::name() const {
    std::ostringstream out;
    out << (joint_ ? "sim pixel" : "sim HILL+cd") << " x" << weight_;
    return out.str();
}

PixelPatternSimulator::PatternCosts PixelPatternSimulator::CostsOf(const std::array<double, 3>& plane,
                                                                   double redGreen, double blueGreen,
                                                                   double weight) {
    const double r = plane[0], g = plane[1], b = plane[2];
    const double rg = weight * redGreen, bg = weight * blueGreen;
    return {0.0,          r + rg,          g + rg + bg, r + g + bg,
            b + bg,       r + b + rg + bg, g + b + rg,  r + g + b};
}

std::vector<PixelPatternSimulator::PatternCosts> PixelPatternSimulator::patternCosts(const Picture& cover) const {
    const std::vector<double> red = HillCost(cover.plane(Picture::Red));
    const std::vector<double> green = HillCost(cover.plane(Picture::Green));
    const std::vector<double> blue = HillCost(cover.plane(Picture::Blue));
    const std::vector<double> rg = HillCost(cover.difference(Picture::Red, Picture::Green));
    const std::vector<double> bg = HillCost(cover.difference(Picture::Blue, Picture::Green));
    std::vector<PatternCosts> costs(red.size());
    for (std::size_t i = 0; i < costs.size(); ++i) {
        costs[i] = CostsOf({red[i], green[i], blue[i]}, rg[i], bg[i], weight_);
        if (joint_) continue;
        // Each flip priced alone; a pattern costs the sum of its flips.
        const double alone[3] = {costs[i][1], costs[i][2], costs[i][4]};
        for (int k = 0; k < kPatterns; ++k)
            costs[i][k] = (k & 1 ? alone[0] : 0) + (k & 2 ? alone[1] : 0) + (k & 4 ? alone[2] : 0);
    }
    return costs;
}

std::optional<Picture> PixelPatternSimulator::embed(const Crop&, const Picture& cover, double rate,
                                                    std::uint64_t seed, std::string&) const {
    const std::vector<PatternCosts> costs = patternCosts(cover);
    const double payload = rate * static_cast<double>(cover.samples.size());
    double low = -30.0, high = 30.0, mid = 0.0;
    for (int i = 0; i < 80; ++i) {
        mid = 0.5 * (low + high);
        const double bits = EntropyBits(costs, std::exp(mid), nullptr);
        if (std::abs(bits - payload) <= 1e-5 * payload) break;
        (bits > payload ? low : high) = mid;
    }
    std::vector<std::array<double, kPatterns>> p(costs.size());
    EntropyBits(costs, std::exp(mid), &p);
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    Picture stego = cover;
    // Samples are blue, green, red in a pixel; pattern bit 1 is red.
    const int channelOf[3] = {Picture::Red, Picture::Green, Picture::Blue};
    for (std::size_t i = 0; i < p.size(); ++i) {
        double u = uniform(random);
        int pattern = 0;
        while (pattern < kPatterns - 1 && (u -= p[i][pattern]) > 0) ++pattern;
        if (pattern == 0) continue;
        // Red with blue but not green: the two differences move apart whatever the ways.
        const bool together = pattern != 5 || !joint_;
        const int shared = random() & 1 ? 1 : -1;
        for (int c = 0; c < 3; ++c) {
            if (!(pattern >> c & 1)) continue;
            const int way = together && joint_ ? shared : (random() & 1 ? 1 : -1);
            std::uint8_t& s = stego.samples[3 * i + channelOf[c]];
            s = Moved(s, way);
        }
    }
    return stego;
}

}  // namespace velquist::detect
