// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "engine/JobState.h"
#include "engine/ProgressPercent.h"
#include "support/RecordingProgress.h"

namespace velquist {
namespace {

using namespace velquist::testing;

// The reports must be exactly those of working out the percentage after every group and
// reporting each new number once, for any number of groups, also when the groups are counted
// a block at a time.
TEST(ProgressPercent, MatchesThePercentageWorkedOutAfterEveryGroup) {
    for (std::int32_t count : {1, 2, 3, 7, 99, 100, 101, 300, 333, 1000, 4097, 65537, 5592405}) {
        JobState job;
        job.GroupCount = count;
        RecordingProgress reports;
        ProgressPercent progress(job, reports);
        std::vector<int> expected;
        for (job.GroupNo = 1; job.GroupNo <= count; ++job.GroupNo) {
            progress.GroupsDone();
            double percent = std::trunc(static_cast<double>(job.GroupNo) / count * 100.0);
            if (expected.empty() || expected.back() != static_cast<int>(percent))
                expected.push_back(static_cast<int>(percent));
            ASSERT_EQ(job.Percent, percent) << count << " " << job.GroupNo;
        }
        EXPECT_EQ(reports.percent, expected) << count;
        EXPECT_EQ(reports.percent.back(), 100);

        JobState blocks;
        blocks.GroupCount = count;
        RecordingProgress blockReports;
        ProgressPercent byBlock(blocks, blockReports);
        for (blocks.GroupNo = 0; blocks.GroupNo < count;) {
            blocks.GroupNo = std::min(count, blocks.GroupNo + 10922);
            byBlock.GroupsDone();
        }
        EXPECT_EQ(blockReports.percent.back(), 100) << count;
        EXPECT_TRUE(std::is_sorted(blockReports.percent.begin(), blockReports.percent.end()));
    }
}

}  // namespace
}  // namespace velquist
