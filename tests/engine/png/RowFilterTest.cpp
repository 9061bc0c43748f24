// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <set>

#include "engine/png/RowFilter.h"
#include "support/PngMaker.h"

namespace velquist::png {
namespace {

using namespace velquist::png::testing;

// Bands of rows of one colour, columns of one colour, a grainy gradient, a product surface and
// noise: each of the five filters is the best one for some rows.
Bytes Scene(const PngRecipe& r) {
    const int channels = r.colourType == 6 ? 4 : 3;
    Bytes samples(std::size_t{r.width} * r.height * channels);
    std::uint32_t noise = 1;
    std::size_t at = 0;
    for (std::uint32_t y = 0; y < r.height; ++y)
        for (std::uint32_t x = 0; x < r.width; ++x)
            for (int c = 0; c < channels; ++c) {
                noise = noise * 1103515245 + 12345;
                const std::uint32_t band[5] = {40 * c + 3 * y, (x * 37) % 251 + c,
                                               x * 2 + y * 3 + 50 * c + (noise >> 29), x * y / 3 + c * 9,
                                               noise >> 24};
                samples[at++] = static_cast<std::uint8_t>(band[y / 8 % 5]);
            }
    return samples;
}

// The image data libpng wrote, inflated: the filtered rows as libpng chose them.
Bytes LibpngRows(const Bytes& png, std::size_t size) {
    Bytes stream;
    for (const RawChunk& c : ListChunks(png))
        if (c.type == "IDAT") stream.insert(stream.end(), png.begin() + c.offset + 8, png.begin() + c.offset + c.size - 4);
    Bytes rows(size + 1);
    uLongf length = rows.size();
    if (uncompress(rows.data(), &length, stream.data(), stream.size()) != Z_OK) throw std::runtime_error("inflate");
    rows.resize(length);
    return rows;
}

TEST(RowFilter, FiltersEveryRowAsLibpngDoes) {
    struct Case {
        const char* name;
        PngRecipe recipe;
        RowFilter filter;
    };
    const Case cases[] = {
        {"rgb", {61, 40, 2}, RowFilter::Adaptive},
        {"rgba", {61, 40, 6}, RowFilter::Adaptive},
        {"rgb-interlaced", {61, 40, 2, 8, true}, RowFilter::Adaptive},
        {"rgba-interlaced-narrow", {3, 40, 6, 8, true}, RowFilter::Adaptive},
        {"rgb-unfiltered", {61, 40, 2, 8, false, 8192, -1, PNG_FILTER_NONE}, RowFilter::None},
        {"rgba-interlaced-unfiltered", {61, 40, 6, 8, true, 8192, -1, PNG_FILTER_NONE}, RowFilter::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PngShape shape{c.recipe.width, c.recipe.height, c.recipe.colourType == 6 ? 4 : 3, c.recipe.interlaced};
        const Bytes samples = Scene(c.recipe);
        const Bytes rows = FilterRows(shape, samples.data(), c.filter);
        EXPECT_EQ(rows, LibpngRows(WritePng(c.recipe, samples), rows.size()));
        if (c.recipe.interlaced || c.filter == RowFilter::None) continue;
        std::set<std::uint8_t> used;
        for (std::size_t at = 0; at < rows.size(); at += 1 + shape.rowBytes()) used.insert(rows[at]);
        EXPECT_GE(used.size(), c.recipe.colourType == 6 ? 4u : 5u) << "the scene no longer calls on every filter";
    }
}

}  // namespace
}  // namespace velquist::png
