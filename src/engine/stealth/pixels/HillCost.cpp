// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/pixels/HillCost.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/stealth/ParallelTasks.h"

namespace velquist::stealth {

namespace {

constexpr std::int64_t kBandRows = 128;
constexpr int kWide = 7;  // half the 15 x 15 window
// Keeps a perfectly flat area finite: it costs about ten thousand times a textured one.
constexpr float kFlat = 1e-4f;
// Marks a transparent pixel's value before it is filled in.
constexpr float kMissing = -1e9f;

// Half-sample mirror, repeated for pictures narrower than the filters.
std::int64_t Mirror(std::int64_t i, std::int64_t n) {
    std::int64_t m = i % (2 * n);
    if (m < 0) m += 2 * n;
    return m < n ? m : 2 * n - 1 - m;
}

// Rows [first, last) of one plane, as floats.
struct Rows {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::size_t width = 0;
    std::vector<float> values;

    void Cover(std::int64_t from, std::int64_t to, std::size_t w) {
        first = from;
        last = to;
        width = w;
        values.resize(static_cast<std::size_t>(to - from) * w);
    }
    float* Row(std::int64_t y) { return values.data() + static_cast<std::size_t>(y - first) * width; }
};

// A row's values with `pad` mirrored entries on each side, so that filters need no edge cases.
void Pad(const float* row, std::size_t width, int pad, std::vector<float>& out) {
    out.resize(width + 2 * static_cast<std::size_t>(pad));
    std::copy(row, row + width, out.begin() + pad);
    const auto n = static_cast<std::int64_t>(width);
    for (std::int64_t i = 1; i <= pad; ++i) {
        out[static_cast<std::size_t>(pad - i)] = row[Mirror(-i, n)];
        out[static_cast<std::size_t>(pad + n - 1 + i)] = row[Mirror(n - 1 + i, n)];
    }
}

class Band {
public:
    Band(const PictureView& picture, SampleCosts& costs) : picture_(picture), costs_(costs) {}

    void Compute(Plane plane, std::int64_t y0, std::int64_t y1) {
        const std::int64_t height = picture_.geometry.Height();
        auto clip = [height](std::int64_t a, std::int64_t b) {
            return std::pair{std::max<std::int64_t>(0, a), std::min(height, b)};
        };
        auto [p0, p1] = clip(y0 - kWide, y1 + kWide);
        auto [r0, r1] = clip(p0 - 1, p1 + 1);
        auto [x0, x1] = clip(r0 - 1, r1 + 1);
        LoadPlane(plane, x0, x1);
        Residuals(r0, r1);
        InverseActivity(p0, p1);
        Spread(plane, y0, y1);
    }

private:
    std::size_t Width() const { return picture_.geometry.Width(); }
    std::int64_t Height() const { return picture_.geometry.Height(); }

    void LoadPlane(Plane plane, std::int64_t from, std::int64_t to) {
        plane_.Cover(from, to, Width());
        for (std::int64_t y = from; y < to; ++y) LoadRow(plane, y, plane_.Row(y));
    }

    void LoadRow(Plane plane, std::int64_t y, float* out) {
        const SampleGeometry& g = picture_.geometry;
        const unsigned offset = g.PlaneOffset(plane);
        firsts_.resize(g.Width());
        g.RowSamples(static_cast<std::uint32_t>(y), firsts_);
        float last = kMissing;
        for (std::uint32_t x = 0; x < g.Width(); ++x) {
            const std::uint64_t first = firsts_[x];
            if (first != SampleGeometry::kNoSample) last = picture_.samples[first + offset];
            out[x] = last;
        }
        // Pixels left of the row's first carrying pixel copy it; an empty row is black.
        auto carrying = std::find_if(out, out + g.Width(), [](float v) { return v != kMissing; });
        std::fill(out, carrying, carrying == out + g.Width() ? 0.0f : *carrying);
    }

    // |second difference down, then across| of the plane.
    void Residuals(std::int64_t from, std::int64_t to) {
        residual_.Cover(from, to, Width());
        std::vector<float> down(Width());
        for (std::int64_t y = from; y < to; ++y) {
            const float* above = plane_.Row(Mirror(y - 1, Height()));
            const float* here = plane_.Row(y);
            const float* below = plane_.Row(Mirror(y + 1, Height()));
            for (std::size_t x = 0; x < Width(); ++x) down[x] = above[x] - 2 * here[x] + below[x];
            Pad(down.data(), Width(), 1, padded_);
            float* out = residual_.Row(y);
            for (std::size_t x = 0; x < Width(); ++x)
                out[x] = std::fabs(padded_[x] - 2 * padded_[x + 1] + padded_[x + 2]);
        }
    }

    // 1 / (3 x 3 mean of the residual): the cost before it is spread.
    void InverseActivity(std::int64_t from, std::int64_t to) {
        inverse_.Cover(from, to, Width());
        std::vector<float> column(Width());
        for (std::int64_t y = from; y < to; ++y) {
            const float* above = residual_.Row(Mirror(y - 1, Height()));
            const float* here = residual_.Row(y);
            const float* below = residual_.Row(Mirror(y + 1, Height()));
            for (std::size_t x = 0; x < Width(); ++x) column[x] = above[x] + here[x] + below[x];
            Pad(column.data(), Width(), 1, padded_);
            float* out = inverse_.Row(y);
            for (std::size_t x = 0; x < Width(); ++x)
                out[x] = 1.0f / ((padded_[x] + padded_[x + 1] + padded_[x + 2]) / 9 + kFlat);
        }
    }

    // The 15 x 15 mean, written to the plane's samples. Running sums in double, so a flat
    // area's huge values leave nothing behind in the textured area beside it.
    void Spread(Plane plane, std::int64_t from, std::int64_t to) {
        const SampleGeometry& g = picture_.geometry;
        const unsigned offset = g.PlaneOffset(plane);
        std::vector<double> down(Width(), 0.0);
        for (std::int64_t d = -kWide; d <= kWide; ++d) AddRow(down, Mirror(from + d, Height()), 1);
        std::vector<float> column(Width());
        for (std::int64_t y = from; y < to; ++y) {
            if (y > from) {
                AddRow(down, Mirror(y - kWide - 1, Height()), -1);
                AddRow(down, Mirror(y + kWide, Height()), 1);
            }
            for (std::size_t x = 0; x < Width(); ++x) column[x] = static_cast<float>(down[x]);
            Pad(column.data(), Width(), kWide, padded_);
            double across = 0;
            for (int d = 0; d < 2 * kWide; ++d) across += padded_[static_cast<std::size_t>(d)];
            for (std::size_t x = 0; x < Width(); ++x) {
                across += padded_[x + 2 * kWide];
                column[x] = static_cast<float>(across) / ((2 * kWide + 1) * (2 * kWide + 1));
                across -= padded_[x];
            }
            firsts_.resize(g.Width());
            g.RowSamples(static_cast<std::uint32_t>(y), firsts_);
            for (std::uint32_t x = 0; x < g.Width(); ++x) {
                if (firsts_[x] != SampleGeometry::kNoSample) costs_.Set(firsts_[x] + offset, column[x]);
            }
        }
    }

    void AddRow(std::vector<double>& sums, std::int64_t y, double sign) {
        const float* row = inverse_.Row(y);
        for (std::size_t x = 0; x < Width(); ++x) sums[x] += sign * row[x];
    }

    const PictureView& picture_;
    SampleCosts& costs_;
    Rows plane_;
    Rows residual_;
    Rows inverse_;
    std::vector<float> padded_;
    std::vector<std::uint64_t> firsts_;
};

}  // namespace

void HillCost::Fill(const PictureView& picture, SampleCosts& costs, unsigned threads) {
    const std::int64_t height = picture.geometry.Height();
    const auto bands = static_cast<std::size_t>((height + kBandRows - 1) / kBandRows);
    RunParallel(bands, threads, [&](std::size_t band) {
        Band work(picture, costs);
        const auto y0 = static_cast<std::int64_t>(band) * kBandRows;
        const std::int64_t y1 = std::min(height, y0 + kBandRows);
        for (Plane plane : {Plane::Red, Plane::Green, Plane::Blue}) work.Compute(plane, y0, y1);
    });
}

}  // namespace velquist::stealth
