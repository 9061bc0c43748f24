// SPDX-License-Identifier: GPL-3.0-or-later
#include "PhotographJpeg.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "Photograph.h"

namespace velquist::bench {

namespace {

using Table = std::array<int, 64>;

// The example tables of the JPEG standard, scaled to quality 75 as the usual encoders do.
constexpr Table kLuminance = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                              14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                              18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                              49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr Table kChrominance = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
constexpr int kQualityScale = 50;  // 200 - 2 x 75
constexpr float kGrain = 6.0f;

std::array<std::uint16_t, 64> Steps(const Table& table) {
    std::array<std::uint16_t, 64> steps{};
    for (std::size_t i = 0; i < 64; ++i)
        steps[i] = static_cast<std::uint16_t>(std::clamp((table[i] * kQualityScale + 50) / 100, 1, 255));
    return steps;
}

// One plane, level-shifted, into quantised blocks; rows and columns past the edge repeat it.
void Quantise(const std::vector<float>& plane, std::uint32_t width, std::uint32_t height,
              stealth::JpegComponent& c, std::vector<std::int16_t>& out) {
    double basis[8][8];
    for (int m = 0; m < 8; ++m)
        for (int i = 0; i < 8; ++i)
            basis[m][i] = (m == 0 ? std::sqrt(0.125) : 0.5) * std::cos(std::numbers::pi * m * (2 * i + 1) / 16);
    out.assign(std::size_t{64} * c.blocksWide * c.blocksHigh, 0);
    for (std::uint32_t by = 0; by < c.blocksHigh; ++by)
        for (std::uint32_t bx = 0; bx < c.blocksWide; ++bx) {
            double pixels[8][8], rows[8][8];
            for (std::uint32_t i = 0; i < 8; ++i)
                for (std::uint32_t j = 0; j < 8; ++j) {
                    const std::uint32_t y = std::min(height - 1, 8 * by + i), x = std::min(width - 1, 8 * bx + j);
                    pixels[i][j] = plane[std::size_t{y} * width + x] - 128.0;
                }
            for (int i = 0; i < 8; ++i)
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int j = 0; j < 8; ++j) sum += pixels[i][j] * basis[u][j];
                    rows[i][u] = sum;
                }
            std::int16_t* block = &out[(std::size_t{by} * c.blocksWide + bx) * 64];
            for (int v = 0; v < 8; ++v)
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int i = 0; i < 8; ++i) sum += rows[i][u] * basis[v][i];
                    block[8 * v + u] = static_cast<std::int16_t>(std::lround(sum / c.steps[8 * v + u]));
                }
        }
    c.coefficients = out;
}

}  // namespace

PhotographJpeg::PhotographJpeg(std::uint32_t width, std::uint32_t height) {
    const auto geometry = stealth::SampleGeometry::Png(width, height);
    const std::vector<std::uint8_t> rgb = Photograph(geometry, width, height);
    const std::uint32_t chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    std::vector<float> luma(std::size_t{width} * height);
    std::vector<float> cb(std::size_t{chromaWidth} * chromaHeight, 0.0f), cr(cb.size(), 0.0f);
    // A camera's pictures carry more fine detail and noise than the drawn one, outside what is
    // blown out: without it nearly every block would be flat.
    std::mt19937 rng(75);
    std::normal_distribution<float> grain(0.0f, kGrain);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = &rgb[3 * (std::size_t{y} * width + x)];
            const float r = p[0], g = p[1], b = p[2];
            const float detail = p[0] == 255 && p[1] == 255 && p[2] == 255 ? 0.0f : grain(rng);
            luma[std::size_t{y} * width + x] = 0.299f * r + 0.587f * g + 0.114f * b + detail;
            const std::size_t at = std::size_t{y / 2} * chromaWidth + x / 2;
            cb[at] += 0.25f * (128 - 0.168736f * r - 0.331264f * g + 0.5f * b);
            cr[at] += 0.25f * (128 + 0.5f * r - 0.418688f * g - 0.081312f * b);
        }
    view.width = width;
    view.height = height;
    planes.resize(3);
    const std::uint32_t sizes[3][2] = {{width, height}, {chromaWidth, chromaHeight}, {chromaWidth, chromaHeight}};
    const std::vector<float>* sources[3] = {&luma, &cb, &cr};
    for (std::size_t i = 0; i < 3; ++i) {
        stealth::JpegComponent c;
        c.h = c.v = i == 0 ? 2 : 1;
        c.blocksWide = (sizes[i][0] + 7) / 8;
        c.blocksHigh = (sizes[i][1] + 7) / 8;
        c.steps = Steps(i == 0 ? kLuminance : kChrominance);
        Quantise(*sources[i], sizes[i][0], sizes[i][1], c, planes[i]);
        view.components.push_back(c);
    }
}

}  // namespace velquist::bench
