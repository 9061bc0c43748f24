// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/png/RowFilter.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>

namespace velquist::png {

namespace {

using Row = std::span<const std::uint8_t>;

// A pass of the picture: its first column and row, and its steps across and down.
struct Pass {
    std::uint32_t x, y, dx, dy;
};
constexpr Pass kWhole[1] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

std::uint32_t Steps(std::uint32_t size, std::uint32_t first, std::uint32_t step) {
    return size > first ? (size - first + step - 1) / step : 0;
}

std::span<const Pass> PassesOf(const PngShape& shape) {
    return shape.interlaced ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWhole);
}

enum Filter : std::uint8_t { kNone, kSub, kUp, kAverage, kPaeth, kFilters };

// Whichever of left, above and upper left is nearest to left + above - upper left, in that
// order on ties; written without branches, so that the loop over a row runs in vector lanes.
std::uint8_t PaethPredictor(std::int16_t a, std::int16_t b, std::int16_t c) {
    const std::int16_t pa = static_cast<std::int16_t>(std::abs(b - c));
    const std::int16_t pb = static_cast<std::int16_t>(std::abs(a - c));
    const std::int16_t pc = static_cast<std::int16_t>(std::abs(a + b - 2 * c));
    const std::int16_t bOrC = pb <= pc ? b : c;
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : bOrC);
}

// The sum of filtered bytes taken as distances from zero, min(v, 256 - v). Summed in 32 bits
// over blocks short enough not to overflow, so that the loop runs in vector lanes.
std::uint64_t Weight(Row row) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::uint64_t sum = 0;
    for (std::size_t from = 0; from < row.size(); from += kBlock) {
        std::uint32_t block = 0;
        for (std::uint8_t v : row.subspan(from, std::min(kBlock, row.size() - from)))
            block += std::min<std::uint8_t>(v, static_cast<std::uint8_t>(0 - v));
        sum += block;
    }
    return sum;
}

// Filters rows one after the other; holds the four trial rows between calls.
class RowFilterer {
public:
    RowFilterer(std::size_t rowBytes, int bpp, RowFilter filter)
        : rowBytes_(rowBytes), bpp_(static_cast<std::size_t>(bpp)), filter_(filter) {
        if (filter_ == RowFilter::Adaptive)
            for (std::vector<std::uint8_t>& trial : trials_) trial.resize(rowBytes);
    }

    // Appends the filter byte and the filtered row `x`, whose row above is `b` (zeros for the
    // first row of a pass).
    void Append(Row x, Row b, std::uint8_t* out) {
        if (filter_ == RowFilter::None) {
            out[0] = kNone;
            std::copy(x.begin(), x.end(), out + 1);
            return;
        }
        Fill(x, b);
        Filter best = kNone;
        std::uint64_t least = Weight(x);
        for (std::uint8_t f = kSub; f < kFilters; ++f) {
            std::uint64_t weight = Weight(trials_[f - 1]);
            if (weight < least) {
                least = weight;
                best = static_cast<Filter>(f);
            }
        }
        out[0] = best;
        Row chosen = best == kNone ? x : Row(trials_[best - 1]);
        std::copy(chosen.begin(), chosen.end(), out + 1);
    }

private:
    // Each trial filter in a loop of its own, which the compiler turns into vector code.
    void Fill(Row x, Row b) {
        std::uint8_t* sub = trials_[kSub - 1].data();
        std::uint8_t* up = trials_[kUp - 1].data();
        std::uint8_t* average = trials_[kAverage - 1].data();
        std::uint8_t* paeth = trials_[kPaeth - 1].data();
        for (std::size_t i = 0; i < bpp_; ++i) {
            sub[i] = x[i];
            average[i] = static_cast<std::uint8_t>(x[i] - (b[i] >> 1));
            paeth[i] = static_cast<std::uint8_t>(x[i] - b[i]);
        }
        for (std::size_t i = 0; i < rowBytes_; ++i) up[i] = static_cast<std::uint8_t>(x[i] - b[i]);
        for (std::size_t i = bpp_; i < rowBytes_; ++i) sub[i] = static_cast<std::uint8_t>(x[i] - x[i - bpp_]);
        for (std::size_t i = bpp_; i < rowBytes_; ++i)
            average[i] = static_cast<std::uint8_t>(x[i] - ((x[i - bpp_] + b[i]) >> 1));
        for (std::size_t i = bpp_; i < rowBytes_; ++i)
            paeth[i] = static_cast<std::uint8_t>(x[i] - PaethPredictor(x[i - bpp_], b[i], b[i - bpp_]));
    }

    std::size_t rowBytes_;
    std::size_t bpp_;
    RowFilter filter_;
    std::array<std::vector<std::uint8_t>, kFilters - 1> trials_;
};

std::size_t FilteredSize(const PngShape& shape) {
    std::size_t size = 0;
    for (const Pass& p : PassesOf(shape)) {
        const std::size_t columns = Steps(shape.width, p.x, p.dx);
        if (columns > 0) size += Steps(shape.height, p.y, p.dy) * (1 + columns * static_cast<std::size_t>(shape.channels));
    }
    return size;
}

}  // namespace

std::vector<std::uint8_t> FilterRows(const PngShape& shape, const std::uint8_t* pixels, RowFilter filter) {
    std::vector<std::uint8_t> out(FilteredSize(shape));
    std::uint8_t* next = out.data();
    const std::size_t channels = static_cast<std::size_t>(shape.channels);
    // An interlaced pass's rows are gathered into `current` and kept as `above` for the next.
    std::vector<std::uint8_t> zeros(shape.rowBytes());
    std::vector<std::uint8_t> current(shape.interlaced ? shape.rowBytes() : 0);
    std::vector<std::uint8_t> above(current.size());
    for (const Pass& p : PassesOf(shape)) {
        const std::size_t columns = Steps(shape.width, p.x, p.dx);
        if (columns == 0) continue;
        const std::size_t rowBytes = columns * channels;
        RowFilterer filterer(rowBytes, shape.channels, filter);
        Row previous(zeros.data(), rowBytes);
        for (std::uint32_t y = p.y; y < shape.height; y += p.dy) {
            const std::uint8_t* source = pixels + std::size_t{y} * shape.rowBytes();
            Row row(source, rowBytes);
            if (shape.interlaced) {
                for (std::size_t c = 0; c < columns; ++c)
                    std::copy_n(source + (p.x + c * p.dx) * channels, channels, current.data() + c * channels);
                row = Row(current.data(), rowBytes);
            }
            filterer.Append(row, previous, next);
            next += 1 + rowBytes;
            if (shape.interlaced) {
                std::swap(current, above);
                previous = Row(above.data(), rowBytes);
            } else {
                previous = row;
            }
        }
    }
    return out;
}

}  // namespace velquist::png
