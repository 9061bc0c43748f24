// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "engine/JobState.h"
#include "engine/ProgressCaption.h"
#include "support/RecordingWindow.h"

namespace velquist {
namespace {

using namespace velquist::testing;

// The captions must be exactly those of working out the percentage after every group and
// showing each new text once, for any number of groups.
TEST(ProgressCaption, MatchesThePercentageWorkedOutAfterEveryGroup) {
    for (std::int32_t count : {1, 2, 3, 7, 99, 100, 101, 300, 333, 1000, 4097, 65537, 5592405}) {
        JobState job;
        job.GroupCount = count;
        RecordingWindow window;
        ProgressCaption progress(job, window);
        std::vector<std::string> expected;
        for (job.GroupNo = 1; job.GroupNo <= count; ++job.GroupNo) {
            progress.GroupDone();
            double percent = std::trunc(static_cast<double>(job.GroupNo) / count * 100.0);
            std::string text = std::to_string(static_cast<long long>(percent)) + "%";
            if (expected.empty() || expected.back() != text) expected.push_back(text);
            ASSERT_EQ(job.Percent, percent) << count << " " << job.GroupNo;
        }
        EXPECT_EQ(window.percent, expected) << count;
        EXPECT_EQ(window.percent.back(), "100%");
    }
}

}  // namespace
}  // namespace velquist
