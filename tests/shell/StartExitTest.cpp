#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "shell/MainController.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"
#include "ui/FrmAbout.h"
#include "ui/Twips.h"

namespace velquist {
namespace {

using velquist::testing::ScriptedPlatform;

const std::string kOptionKey = ScriptedPlatform::SettingKey("Qelto", "Lumicrest", "clearBMP");

TEST(StartUp, GivesTheJobStateItsStartValues) {
    struct Case {
        std::string appFolder, outPath;
    };
    for (const Case& c : {Case{"/opt/velquist", "/opt/velquist/"}, Case{"/", "/"}}) {
        SCOPED_TRACE(c.appFolder);
        ScriptedPlatform platform;
        platform.SetAppFolder(c.appFolder);
        MainController controller(platform);
        const JobState& job = controller.Job();
        EXPECT_EQ(job.VersionWord, 0x10000000);
        EXPECT_EQ(job.OutPath, c.outPath);
        EXPECT_EQ(job.HiddenMark, 0);
        EXPECT_EQ(job.Password.str(), "55555555");
        EXPECT_EQ(controller.Window().CaptionOf(Caption::LabOutPath), c.appFolder);
    }
}

TEST(StartUp, RestoresTheWipeOptionFromTheSettings) {
    struct Case {
        std::optional<std::string> stored;
        bool ticked;
    };
    const std::vector<Case> cases{
        {std::nullopt, false}, {"0", false}, {"1", true}, {"abc", false}, {"7", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or("(none)"));
        ScriptedPlatform platform;
        if (c.stored) platform.settings()[kOptionKey] = *c.stored;
        MainController controller(platform);
        EXPECT_EQ(controller.Window().ChkclearBmp().isChecked(), c.ticked);
        EXPECT_EQ(controller.Job().ClearBmp, c.ticked ? -1 : 0);
    }
}

TEST(StartUp, CentresTheWindowOnTheScreen) {
    ScriptedPlatform platform;
    MainController controller(platform);
    const FrmMain& window = controller.Window();
    const QRect screen = window.screen()->geometry();
    const QRect frame = window.frameGeometry();
    EXPECT_LE(std::abs((frame.left() - screen.left()) - (screen.right() - frame.right())), 1);
    EXPECT_LE(std::abs((frame.top() - screen.top()) - (screen.bottom() - frame.bottom())), 1);
}

TEST(WipeOption, TickingTheBoxSetsTheFlagButStoresNothing) {
    ScriptedPlatform platform;
    MainController controller(platform);
    controller.Window().ChkclearBmp().click();
    EXPECT_EQ(controller.Job().ClearBmp, -1);
    controller.Window().ChkclearBmp().click();
    EXPECT_EQ(controller.Job().ClearBmp, 0);
    EXPECT_TRUE(platform.settings().empty());
}

class ExitTest : public ::testing::Test {
protected:
    void OpenAFile() {
        platform.Files().Open(1, folder.File("carrier.bmp"));
        ASSERT_TRUE(platform.Files().IsOpen(1));
    }
    velquist::testing::TempDir folder;
    ScriptedPlatform platform;
};

TEST_F(ExitTest, ExitButtonClosesFilesStoresTheOptionAndRollsTheWindowAway) {
    MainController controller(platform);
    FrmMain& window = controller.Window();
    window.show();
    OpenAFile();
    window.ChkclearBmp().click();
    const QRect exitPlace = window.Control("Cmdexit")->geometry();

    window.Control<QPushButton>("Cmdexit")->click();

    EXPECT_FALSE(platform.Files().IsOpen(1));
    EXPECT_EQ(platform.settings()[kOptionKey], "1");
    EXPECT_TRUE(window.Closing());
    EXPECT_FALSE(window.Timer1().isActive());
    EXPECT_TRUE(platform.ended());
    EXPECT_GE(platform.yields(), 2) << "each phase lets the window paint";
    EXPECT_LE(window.height(), 2) << "rolled up to a strip";
    EXPECT_LT(window.width(), 531 / 4) << "and narrowed";
    EXPECT_EQ(window.Control("Cmdexit")->geometry(), exitPlace) << "no control moved";
}

TEST_F(ExitTest, ExitStoresAClearedOptionAsZero) {
    platform.settings()[kOptionKey] = "1";
    MainController controller(platform);
    controller.Window().ChkclearBmp().click();
    controller.Cmdexit_Click();
    EXPECT_EQ(platform.settings()[kOptionKey], "0");
}

TEST_F(ExitTest, CloseBoxOnlyClosesTheFiles) {
    MainController controller(platform);
    controller.Window().show();
    OpenAFile();
    controller.Window().ChkclearBmp().click();
    EXPECT_TRUE(controller.Window().close());
    EXPECT_FALSE(platform.Files().IsOpen(1));
    EXPECT_TRUE(platform.settings().empty()) << "a change is kept only by the exit button";
    EXPECT_FALSE(platform.ended());
}

TEST(AboutButton, OpensTheAboutWindowInTheSameStateEachTime) {
    ScriptedPlatform platform;
    MainController controller(platform);
    controller.Window().show();
    struct Seen {
        QString text;
        bool underlined = false;
        QColor colour;
        bool modal = false;
    };
    std::vector<Seen> seen;
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, [&seen] {
            auto* about = dynamic_cast<FrmAbout*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            QLabel& link = about->Label1();
            seen.push_back({link.text(), link.font().underline(),
                            link.palette().color(QPalette::WindowText), about->isModal()});
            // Leave the link red, as a pointer passing over it would.
            QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), link.mapToGlobal(QPointF(2, 2)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&link, &move);
            about->close();
        });
        controller.Window().Control<QPushButton>("CmdAbout")->click();
    }
    ASSERT_EQ(seen.size(), 2u);
    for (const Seen& s : seen) {
        EXPECT_EQ(s.text, "velquist.example.org");
        EXPECT_TRUE(s.underlined);
        EXPECT_EQ(s.colour, QColor(0, 0, 255));
        EXPECT_TRUE(s.modal);
    }
}

}  // namespace
}  // namespace velquist
