// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/FixedText.h"
#include "engine/JobState.h"

namespace velquist {
namespace {

TEST(FixedText, AssignmentCutsAndPadsToEightCharacters) {
    FixedText<8> p;
    EXPECT_EQ(p.str(), std::string(8, '\0'));
    p = kPasswordFiller;
    EXPECT_EQ(p.str(), "55555555");
    p = "abc";
    EXPECT_EQ(p.str(), "abc     ");
    p = "12345678";
    EXPECT_EQ(p.str(), "12345678");
    p = "";
    EXPECT_EQ(p.str(), "        ");
}

TEST(JobState, StartsZeroAndEmpty) {
    JobState s;
    EXPECT_TRUE(s.ImagePath.empty() && s.MsgPath.empty() && s.MsgExt.empty() && s.OutFile.empty());
    EXPECT_EQ(s.HiddenMark, 0);
    EXPECT_EQ(s.PwdFlag, 0);
    EXPECT_EQ(s.PwdLen, 0);
}

}  // namespace
}  // namespace velquist
