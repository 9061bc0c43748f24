// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "cli/ErrorConsole.h"

namespace velquist {
namespace {

using cli::DisplayWidth;
using cli::ErrorConsole;
using Clock = std::chrono::steady_clock;

// The drawings of the bar, one per "\r", and whatever followed the last one.
std::vector<std::string> Drawings(const std::string& err) {
    std::vector<std::string> drawings;
    std::istringstream in(err);
    std::string piece;
    while (std::getline(in, piece, '\r'))
        if (!piece.empty()) drawings.push_back(piece);
    return drawings;
}

TEST(CliProgress, BarFitsTheTerminalRedrawsTenTimesASecondAndEndsItsLine) {
    struct Case {
        std::string name;
        int columns;
        std::string label;
        int stepMs;  // how far the clock moves between two reports
        std::size_t fewest, most;
        std::string last;
    };
    const std::vector<Case> cases = {
        {"wide terminal", 80, "完成度", 10, 10, 12, "完成度 [########################################] 100%"},
        {"30 columns", 30, "Progress", 10, 10, 12, "Progress [#############] 100%"},
        {"30 columns, wide label", 30, "完成度", 10, 10, 12, "完成度 [###############] 100%"},
        {"too narrow for the label", 16, "Progress", 10, 10, 12, "[########] 100%"},
        {"too narrow for a bar", 8, "Progress", 10, 10, 12, "100%"},
        {"clock standing still", 80, "Progress", 0, 2, 2, "Progress [########################################] 100%"},
        {"slow pass", 80, "Progress", 200, 101, 101, "Progress [########################################] 100%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream err;
        Clock::time_point now{};
        {
            ErrorConsole console(err, true, c.columns, [&] { return now += std::chrono::milliseconds(c.stepMs); });
            console.SetProgressLabel("   " + c.label);
            for (int percent = 0; percent <= 100; ++percent) console.ShowProgress(percent);
            console.ShowProgress(100);
            console.Say("  done ");
        }
        std::vector<std::string> drawings = Drawings(err.str());
        ASSERT_FALSE(drawings.empty());
        EXPECT_EQ(drawings.back(), c.last + "\ndone\n");
        drawings.back() = c.last;
        EXPECT_GE(drawings.size(), c.fewest);
        EXPECT_LE(drawings.size(), c.most);
        for (const auto& drawing : drawings) {
            EXPECT_LT(DisplayWidth(drawing), c.columns) << drawing;
            EXPECT_EQ(drawing.find('\n'), std::string::npos) << drawing;
        }
    }
}

TEST(CliProgress, NothingIsDrawnWhenStandardErrorIsNoTerminal) {
    std::ostringstream err;
    {
        ErrorConsole console(err, false, 80, [] { return Clock::now(); });
        for (int percent = 0; percent <= 100; ++percent) console.ShowProgress(percent);
        console.Say("done");
    }
    EXPECT_EQ(err.str(), "done\n");
}

}  // namespace
}  // namespace velquist
