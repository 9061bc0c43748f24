// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/ProgressPercent.h"
#include "support/RecordingProgress.h"

namespace velquist {
namespace {

using namespace velquist::testing;

// The reports must be exactly those of working out the percentage after every group and
// reporting each new number once, for any number of groups, also when the groups are counted
// a block at a time.
TEST(ProgressPercent, MatchesThePercentageWorkedOutAfterEveryGroup) {
    for (std::int64_t count : {1, 2, 3, 7, 99, 100, 101, 300, 333, 1000, 4097, 65537, 5592405}) {
        RecordingProgress reports;
        ProgressPercent progress(count, reports);
        std::vector<int> expected;
        for (std::int64_t done = 1; done <= count; ++done) {
            progress.GroupsDone(done);
            double percent = std::trunc(static_cast<double>(done) / count * 100.0);
            if (expected.empty() || expected.back() != static_cast<int>(percent))
                expected.push_back(static_cast<int>(percent));
            ASSERT_EQ(reports.percent.back(), static_cast<int>(percent)) << count << " " << done;
        }
        EXPECT_EQ(reports.percent, expected) << count;
        EXPECT_EQ(reports.percent.back(), 100);

        RecordingProgress blockReports;
        ProgressPercent byBlock(count, blockReports);
        for (std::int64_t done = 0; done < count;) {
            done = std::min<std::int64_t>(count, done + 10922);
            byBlock.GroupsDone(done);
        }
        EXPECT_EQ(blockReports.percent.back(), 100) << count;
        EXPECT_TRUE(std::is_sorted(blockReports.percent.begin(), blockReports.percent.end()));
    }
}

}  // namespace
}  // namespace velquist
