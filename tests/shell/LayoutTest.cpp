// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <map>

#include "shell/MainController.h"
#include "shell/ProportionalLayout.h"
#include "WritablePlatform.h"
#include "ui/Twips.h"

namespace velquist {
namespace {

constexpr double kDesignWidth = 7965;
constexpr double kDesignHeight = 6015;

struct Placed {
    QRect pixels;
    QRectF twips;
    double points;
    bool hidden;
    bool operator==(const Placed&) const = default;
};

class LayoutTest : public ::testing::Test {
protected:
    FrmMain& window() { return controller.Window(); }
    ProportionalLayout& layout() { return controller.Layout(); }
    std::map<QString, Placed> Snapshot() {
        std::map<QString, Placed> placed;
        for (QObject* object : window().Controls())
            if (auto* w = qobject_cast<QWidget*>(object))
                placed[w->objectName()] = {w->geometry(), Twips::Rect(*w), w->font().pointSizeF(),
                                           w->isHidden()};
        return placed;
    }
    QRect PixelsOf(const char* name) { return window().Control(name)->geometry(); }
    double PointsOf(const char* name) { return window().Control(name)->font().pointSizeF(); }

    testing::WritablePlatform platform;
    MainController controller{platform};
};

TEST_F(LayoutTest, StartUpWritesEveryControlsDesignIntoItsTag) {
    const std::vector<std::pair<const char*, QString>> tags{
        {"LabOutPath", "1200 1680 4575 615 9 "},
        {"LabCue1", "1200 120 4575 735 9 "},
        {"Frame1", "120 2400 3735 2895 9 "},
        {"Imagepre", "120 240 3495 2535 "},
        {"Text1", "4920 3840 975 315 10.5 "},
        {"Cmdexit", "6120 5400 1695 375 10.5 "},
        {"TxtName", "4200 5400 1335 315 10.5 "},
        {"HScroll1", "120 5760 1935 255 "},
        {"HScroll3", "4200 5760 1815 255 "},
        {"Timer1", ""},
    };
    for (const auto& [name, tag] : tags) {
        QObject* control = window().findChild<QObject*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->property("tag").toString(), tag) << name;
    }
    EXPECT_EQ(layout().DesignScaleWidth(), 7965);
    EXPECT_EQ(layout().DesignScaleHeight(), 6015);
}

TEST_F(LayoutTest, TagsReadAsUpToFiveNumbers) {
    using Fields = std::array<double, 5>;
    const std::vector<std::pair<QString, Fields>> cases{
        {"1200 1680 4575 615 9 ", {1200, 1680, 4575, 615, 9}},
        {"120 240 3495 2535 ", {120, 240, 3495, 2535, 0}},
        {"1 2 3 4 10.5 ", {1, 2, 3, 4, 10.5}},
        {"", {0, 0, 0, 0, 0}},
        {"5 6", {5, 0, 0, 0, 0}},
    };
    for (const auto& [tag, fields] : cases)
        EXPECT_EQ(ProportionalLayout::ReadTag(tag), fields) << tag.toStdString();
    EXPECT_EQ(ProportionalLayout::Number(14.25), "14.25");
    EXPECT_EQ(ProportionalLayout::Number(6862.5), "6862.5");
    EXPECT_EQ(ProportionalLayout::Number(1200), "1200");
}

TEST_F(LayoutTest, ControlsScaleWithTheClientAreaAndFontsWithTheSmallerRatio) {
    struct Case {
        double sx, sy;
        QRect labOutPath;  // design 1200, 1680, 4575, 615 twips
        QRect imagepre;    // design 120, 240, 3495, 2535 inside Frame1
        double labOutPathPoints, cmdexitPoints;
    };
    const std::vector<Case> cases{
        {1, 1, QRect(80, 112, 305, 41), QRect(8, 16, 233, 169), 9, 10.5},
        {2, 1, QRect(160, 112, 610, 41), QRect(16, 16, 466, 169), 9, 10.5},
        {1.5, 2, QRect(120, 224, 458, 82), QRect(12, 32, 350, 338), 13.5, 15.75},
        {1, 0.5, QRect(80, 56, 305, 21), QRect(8, 8, 233, 85), 4.5, 5.25},  // halves of a pixel round up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sx << " x " << c.sy);
        layout().Relayout(QSizeF(kDesignWidth * c.sx, kDesignHeight * c.sy));
        EXPECT_EQ(PixelsOf("LabOutPath"), c.labOutPath);
        EXPECT_EQ(PixelsOf("Imagepre"), c.imagepre);
        EXPECT_DOUBLE_EQ(PointsOf("LabOutPath"), c.labOutPathPoints);
        EXPECT_DOUBLE_EQ(PointsOf("Cmdexit"), c.cmdexitPoints);
        EXPECT_TRUE(window().Control("HScroll1")->isHidden());
        EXPECT_TRUE(window().Control("Frame1")->isHidden());
        EXPECT_FALSE(window().Control("LabOutPath")->isHidden());
    }
}

TEST_F(LayoutTest, MinimisingAndRestoringLeavesNoTrace) {
    const auto design = Snapshot();
    layout().Relayout(QSizeF(0, 0));
    EXPECT_EQ(PixelsOf("LabOutPath"), QRect(0, 0, 0, 0));
    EXPECT_EQ(PixelsOf("Imagepre"), QRect(0, 0, 0, 0));
    EXPECT_DOUBLE_EQ(PointsOf("LabOutPath"), 9) << "no font has size 0; it is left as it was";

    layout().Relayout(QSizeF(kDesignWidth * 1.5, kDesignHeight * 2));
    EXPECT_EQ(PixelsOf("LabOutPath"), QRect(120, 224, 458, 82));
    layout().Relayout(QSizeF(kDesignWidth, kDesignHeight));
    EXPECT_EQ(Snapshot(), design);
}

TEST_F(LayoutTest, ManyResizesReturnToTheExactDesign) {
    const auto design = Snapshot();
    for (int i = 1; i <= 50; ++i)
        layout().Relayout(QSizeF(kDesignWidth * (0.3 + 0.037 * i), kDesignHeight * (2.1 - 0.029 * i)));
    layout().Relayout(QSizeF(kDesignWidth, kDesignHeight));
    EXPECT_EQ(Snapshot(), design);
}

TEST_F(LayoutTest, NothingMovesWhileClosing) {
    const auto design = Snapshot();
    window().SetClosing();
    layout().Relayout(QSizeF(kDesignWidth * 2, kDesignHeight * 2));
    layout().Relayout(QSizeF(0, 0));
    EXPECT_EQ(Snapshot(), design);
}

TEST_F(LayoutTest, ResizingTheShownWindowRelaysTheControls) {
    window().Timer1().stop();
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    EXPECT_EQ(PixelsOf("LabOutPath"), QRect(80, 112, 305, 41)) << "first showing is at scale 1";
    window().resize(531 * 2, 401);
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelsOf("LabOutPath") == QRect(160, 112, 610, 41); }));
}

}  // namespace
}  // namespace velquist
