// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "shell/CentreOffset.h"
#include "shell/KeptOption.h"

namespace velquist {
namespace {

TEST(KeptOption, StoredTextBecomesAStateOfZeroOrOne) {
    const std::vector<std::pair<std::string, int>> cases{
        {"0", 0},  {"1", 1},   {"7", 1},    {"-1", 1},  {"+2", 1},  {"00", 0},
        {"abc", 0}, {"", 0},   {"1x", 0},   {" 1", 0},  {"1.5", 0}, {"-0", 0},
        {"99999999999999999999999", 1},
    };
    for (const auto& [text, state] : cases)
        EXPECT_EQ(KeptOption::StateOf(text), state) << '"' << text << '"';
}

TEST(CentreOffset, RoundsHalvesToEvenThenHalvesTowardZero) {
    struct Case {
        double screen, window;
        std::int32_t offset;
    };
    const std::vector<Case> cases{
        {19200, 8100, 5550},  {8111, 8100, 5},   {8100, 8111, -5},  {8100, 8100, 0},
        {8112.5, 8100, 6},    {8113.5, 8100, 7}, {8100, 8112.5, -6}, {8100, 30000, -10950},
        {8101, 8100, 0},      {8100, 8101, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CentreOffset(c.screen, c.window), c.offset) << c.screen << " / " << c.window;
}

}  // namespace
}  // namespace velquist
