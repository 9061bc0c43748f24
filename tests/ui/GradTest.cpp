// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "ui/FrmMain.h"
#include "ui/Grad.h"
#include "ui/Twips.h"

namespace velquist {
namespace {

TEST(GradPaint, StacksSixtyThreeBandsFromTheChosenEdge) {
    struct Case {
        int height, width;
        bool fromTop;
        int bandHeight, firstTop, stride;
    };
    const std::vector<Case> cases{
        {6300, 8100, true, 100, 0, 100},
        {6300, 8100, false, 100, 6200, -100},
        {6490, 8070, false, 103, 6387, -103},  // 103.02 rounds down
        {6522, 8070, true, 104, 0, 104},       // 103.52 rounds up
        {30, 100, false, 0, 30, 0},            // a rolled-up window has bands of no height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << (c.fromTop ? " from top" : " from bottom"));
        const Grad::Bands bands = Grad::GradPaint(c.height, c.width, 200, 100, 50, c.fromTop);
        ASSERT_EQ(bands.size(), 63u);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            EXPECT_EQ(bands[i].left, 0);
            EXPECT_EQ(bands[i].right, c.width);
            EXPECT_EQ(bands[i].top, c.firstTop + static_cast<int>(i) * c.stride);
            EXPECT_EQ(bands[i].bottom - bands[i].top, c.bandHeight);
        }
    }
}

TEST(GradPaint, EachBandIsFourDarkerAndNoneBelowZero) {
    struct Case {
        int start;
        std::vector<int> firstBands;  // all later bands are 0
    };
    const std::vector<Case> cases{
        {0, {0}},   {1, {1, 0}},          {4, {4, 0}},          {5, {5, 1, 0}},
        {8, {8, 4, 0}}, {10, {10, 6, 2, 0}}, {255, {255, 251, 247, 243}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        const Grad::Bands bands = Grad::GradPaint(6300, 8100, c.start, c.start, c.start, false);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const int expected = i < c.firstBands.size()
                                     ? c.firstBands[i]
                                     : std::max(0, c.start - 4 * static_cast<int>(i));
            EXPECT_EQ(bands[i].red, expected) << "band " << i;
            EXPECT_EQ(bands[i].green, expected) << "band " << i;
            EXPECT_EQ(bands[i].blue, expected) << "band " << i;
        }
    }
    const Grad::Bands mixed = Grad::GradPaint(6300, 8100, 9, 3, 200, true);
    EXPECT_EQ((std::array{mixed[1].red, mixed[1].green, mixed[1].blue}),
              (std::array{5, 0, 196}));
}

class GradientTickTest : public ::testing::Test {
protected:
    void SetUp() override { window.Timer1().stop(); }
    int Scroll(const char* name) { return window.Control<QScrollBar>(name)->value(); }
    FrmMain window;
};

TEST_F(GradientTickTest, FirstTickShowsFiveTwoEightDrawnFromTheBottom) {
    window.Timer1_Timer();
    EXPECT_EQ(Scroll("HScroll1"), 5);
    EXPECT_EQ(Scroll("HScroll2"), 2);
    EXPECT_EQ(Scroll("HScroll3"), 8);
    const Grad::Band& first = window.Bands().front();
    EXPECT_EQ((std::array{first.red, first.green, first.blue}), (std::array{5, 2, 8}));
    const int outerHeight =
        static_cast<int>(Twips::RoundHalfEven(Twips::OuterSize(window).height()));
    EXPECT_EQ(first.top, outerHeight - (first.bottom - first.top));
    EXPECT_GT(window.Bands()[0].top, window.Bands()[1].top);
    for (const char* name : {"CmdAbout", "Cmdexit", "cmdadd", "cmdout", "cmdopen",
                             "CmdMsgSelect", "cmdchgOutPath", "ChkPassword", "ChkclearBmp"}) {
        QWidget* control = window.Control(name);
        EXPECT_EQ(control->palette().color(control->backgroundRole()), QColor(5, 2, 8)) << name;
    }
}

TEST_F(GradientTickTest, ComponentsTurnAtTheirPointsAndStayInRange) {
    struct Range {
        const char* scroll;
        int highest = 0;
        int lowestAfterRise = 1000;
        bool risen = false;
    };
    std::array<Range, 3> ranges{Range{"HScroll1"}, Range{"HScroll2"}, Range{"HScroll3"}};
    bool drewFromTopWhileGreenFell = false;
    for (int tick = 1; tick <= 600; ++tick) {
        window.Timer1_Timer();
        for (Range& r : ranges) {
            const int value = Scroll(r.scroll);
            r.highest = std::max(r.highest, value);
            if (value > 200) r.risen = true;
            if (r.risen) r.lowestAfterRise = std::min(r.lowestAfterRise, value);
        }
        for (const Grad::Band& band : window.Bands()) {
            ASSERT_GE(std::min({band.red, band.green, band.blue}), 0) << "tick " << tick;
            ASSERT_LE(std::max({band.red, band.green, band.blue}), 255) << "tick " << tick;
        }
        if (tick == 101) drewFromTopWhileGreenFell = window.Bands().front().top == 0;
    }
    EXPECT_EQ(ranges[0].highest, 205);
    EXPECT_EQ(ranges[0].lowestAfterRise, 15);
    EXPECT_EQ(ranges[1].highest, 202);
    EXPECT_EQ(ranges[1].lowestAfterRise, 14);
    EXPECT_EQ(ranges[2].highest, 208);
    EXPECT_EQ(ranges[2].lowestAfterRise, 16);
    EXPECT_TRUE(drewFromTopWhileGreenFell) << "green reaches 202 on tick 101 and turns";
}

}  // namespace
}  // namespace velquist
