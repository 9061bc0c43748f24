// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/CoupledHillCosts.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/stealth/HillCost.h"
#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/RandomBits.h"
#include "engine/stealth/Steering.h"

namespace velquist::stealth {

namespace {

constexpr std::uint32_t kRowsPerTask = 32;
constexpr std::uint64_t kNone = SampleGeometry::kNoSample;

}  // namespace

// The first samples of the pixels of a row and of the rows above and below it, with a pixel
// that carries nothing on either side, so that every pixel has four neighbours to look at.
class CoupledHillCosts::Neighbourhood {
public:
    explicit Neighbourhood(const SampleGeometry& geometry)
        : geometry_(geometry), width_(geometry.Width()) {
        for (auto& row : rows_) row.assign(width_ + 2, kNone);
    }

    void Centre(std::uint32_t y) {
        Load(0, y == 0 ? std::nullopt : std::optional(y - 1));
        Load(1, y);
        Load(2, y + 1 < geometry_.Height() ? std::optional(y + 1) : std::nullopt);
    }

    // x may be -1 or Width(): no pixel.
    std::uint64_t Here(std::uint32_t x) const { return rows_[1][x + 1]; }
    std::uint64_t Above(std::uint32_t x) const { return rows_[0][x + 1]; }
    std::uint64_t Below(std::uint32_t x) const { return rows_[2][x + 1]; }

private:
    void Load(int slot, std::optional<std::uint32_t> y) {
        std::span<std::uint64_t> inside(rows_[slot].data() + 1, width_);
        if (y)
            geometry_.RowSamples(*y, inside);
        else
            std::fill(inside.begin(), inside.end(), kNone);
    }

    const SampleGeometry& geometry_;
    std::uint32_t width_;
    std::vector<std::uint64_t> rows_[3];
};

void CoupledHillCosts::FillBaseCosts(const PictureView& picture, std::span<float> costs,
                                     unsigned threads) const {
    HillCost::Fill(picture, costs, threads);
}

void CoupledHillCosts::FillSteering(const PictureView& picture,
                                    std::span<const std::int8_t> planned, const RandomBits& ties,
                                    std::span<std::uint8_t> steering, unsigned threads) const {
    const std::uint32_t height = picture.geometry.Height();
    RunParallel((height + kRowsPerTask - 1) / kRowsPerTask, threads, [&](std::size_t task) {
        Neighbourhood rows(picture.geometry);
        const auto y0 = static_cast<std::uint32_t>(task * kRowsPerTask);
        for (std::uint32_t y = y0; y < std::min(height, y0 + kRowsPerTask); ++y) {
            rows.Centre(y);
            SteerRow(picture, planned, ties, steering, rows, y);
        }
    });
}

void CoupledHillCosts::SteerRow(const PictureView& picture, std::span<const std::int8_t> planned,
                                const RandomBits& ties, std::span<std::uint8_t> steering,
                                const Neighbourhood& rows, std::uint32_t y) const {
    const std::uint32_t width = picture.geometry.Width();
    for (std::uint32_t x = 0; x < width; ++x) {
        const std::uint64_t first = rows.Here(x);
        if (first == kNone) continue;
        const std::uint64_t around[4] = {rows.Here(x - 1), rows.Here(x + 1), rows.Above(x), rows.Below(x)};
        const int pixelSum = planned[first] + planned[first + 1] + planned[first + 2];
        const bool tieUp = ties[std::size_t{y} * width + x];
        for (unsigned c = 0; c < 3; ++c) {
            const int own = planned[first + c];
            int nearby = 0;
            for (std::uint64_t n : around) nearby += n == kNone ? 0 : planned[n + c];
            // Positive: the changes around pull this one up.
            const int pull = coupling_.self * own + coupling_.pixel * (pixelSum - own) +
                             coupling_.neighbour * nearby;
            const std::uint8_t value = picture.samples[first + c];
            bool up = pull > 0 || (pull == 0 && tieUp);
            if (value == 0) up = true;
            if (value == 255) up = false;
            steering[first + c] = Steering::Pack(up ? -pull : pull, up);
        }
    }
}

}  // namespace velquist::stealth
