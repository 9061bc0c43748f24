// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "engine/stealth/pixels/SampleGeometry.h"

namespace velquist::stealth {
namespace {

// A 3 x 2 picture; in the PNG the middle pixel of the top row and the first of the bottom row
// are transparent.
TEST(StealthGeometry, SamplesFollowTheContainersOrder) {
    const auto bottomUp = SampleGeometry::Bmp(3, 2, true);
    const auto topDown = SampleGeometry::Bmp(3, 2, false);
    const auto holes = SampleGeometry::Png(3, 2, {true, false, true, false, true, true});
    const auto opaque = SampleGeometry::Png(3, 2);
    struct Row {
        const SampleGeometry& geometry;
        std::uint64_t sample;
        SamplePlace place;
    };
    const Row rows[] = {
        {bottomUp, 0, {0, 1, Plane::Blue}},   // the stored first row is the bottom one
        {bottomUp, 2, {0, 1, Plane::Red}},
        {bottomUp, 10, {0, 0, Plane::Green}},
        {bottomUp, 17, {2, 0, Plane::Red}},
        {topDown, 0, {0, 0, Plane::Blue}},
        {topDown, 13, {1, 1, Plane::Green}},
        {opaque, 0, {0, 0, Plane::Red}},
        {opaque, 11, {0, 1, Plane::Blue}},
        {holes, 3, {2, 0, Plane::Red}},        // pixel (1, 0) carries nothing
        {holes, 6, {1, 1, Plane::Red}},        // nor (0, 1)
        {holes, 11, {2, 1, Plane::Blue}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sample);
        EXPECT_EQ(row.geometry.PlaceOf(row.sample), row.place);
        EXPECT_EQ(row.geometry.SampleAt(row.place.x, row.place.y, row.place.plane), row.sample);
    }
    EXPECT_EQ(bottomUp.SampleCount(), 18u);
    EXPECT_EQ(holes.SampleCount(), 12u);
    EXPECT_EQ(holes.SampleAt(1, 0, Plane::Green), std::nullopt);
    EXPECT_EQ(holes.SampleAt(0, 1, Plane::Red), std::nullopt);
    EXPECT_EQ(opaque.SampleAt(3, 0, Plane::Red), std::nullopt);
    EXPECT_THROW(holes.PlaceOf(12), std::out_of_range);
    EXPECT_THROW(SampleGeometry::Png(3, 2, {true, true}), std::invalid_argument);
}

}  // namespace
}  // namespace velquist::stealth
