// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/format/CarrierFormat.h"
#include "engine/format/FixedText.h"

namespace velquist {
namespace {

TEST(FixedText, AssignmentCutsAndPadsToEightCharacters) {
    FixedText<8> p;
    EXPECT_EQ(p.str(), std::string(8, '\0'));
    p = carrier::kPasswordFiller;
    EXPECT_EQ(p.str(), "55555555");
    p = "abc";
    EXPECT_EQ(p.str(), "abc     ");
    p = "12345678";
    EXPECT_EQ(p.str(), "12345678");
    p = "";
    EXPECT_EQ(p.str(), "        ");
}

}  // namespace
}  // namespace velquist
