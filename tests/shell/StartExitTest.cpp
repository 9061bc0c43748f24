// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <filesystem>

#include "WritablePlatform.h"
#include "shell/MainController.h"
#include "support/CarrierBuilder.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"
#include "ui/FrmAbout.h"
#include "ui/Twips.h"

namespace velquist {
namespace {

using velquist::testing::ScriptedPlatform;
using velquist::testing::TempDir;
using velquist::testing::WritablePlatform;

const std::string kOptionKey = ScriptedPlatform::SettingKey("Qelto", "Lumicrest", "clearBMP");
const std::string kEncryptKey = ScriptedPlatform::SettingKey("Qelto", "Lumicrest", "encrypt");
const std::string kStealthKey = ScriptedPlatform::SettingKey("Qelto", "Lumicrest", "stealth");

TEST(StartUp, GivesTheJobStateItsStartValues) {
    WritablePlatform platform;
    MainController controller(platform);
    const JobState& job = controller.Job();
    EXPECT_FALSE(job.HiddenMark);
    EXPECT_EQ(job.OutPath.back(), '/');
}

// Whether the user may write a folder is provoked without permissions (the tests may run as
// root): a folder that is missing, or one under a regular file, which cannot be created.
TEST(StartUp, OutputFolderIsTheFirstWritableOfProgramDocumentsAndHome) {
    TempDir dir;
    testing::WriteAll(dir.File("file"), {1});
    std::filesystem::create_directory(dir.File("program"));
    std::filesystem::create_directory(dir.File("<i>x"));
    std::filesystem::create_directory(dir.File("docs"));
    struct Case {
        std::string program, documents, home, chosen;
    };
    const std::vector<Case> cases{
        {dir.File("program"), dir.File("file/docs"), "/nowhere", dir.File("program")},
        {dir.File("<i>x"), dir.File("file/docs"), "/nowhere", dir.File("<i>x")},
        {dir.File("missing"), dir.File("docs"), "/nowhere", dir.File("docs")},
        {dir.File("file/bin"), dir.File("new/Documents"), "/nowhere", dir.File("new/Documents")},
        {dir.File("file/bin"), dir.File("file/Documents"), "/", "/"},
        {dir.File("file/bin"), "", "/home/someone", "/home/someone"},
        // Where the system installs programs, even when this user may write there.
        {"/usr/bin", dir.File("docs"), "/nowhere", dir.File("docs")},
        {"/usr", dir.File("docs"), "/nowhere", dir.File("docs")},
        {"/opt", dir.File("docs"), "/nowhere", dir.File("docs")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + " | " + c.documents);
        ScriptedPlatform platform;
        platform.SetAppFolder(c.program);
        platform.SetDocumentsFolder(c.documents);
        platform.SetHomeFolder(c.home);
        MainController controller(platform);
        EXPECT_EQ(controller.Job().OutPath, c.chosen == "/" ? "/" : c.chosen + "/");
        EXPECT_EQ(controller.Window().CaptionOf(Caption::LabOutPath), c.chosen);
        EXPECT_EQ(controller.Window().Control<QLabel>("LabOutPath")->textFormat(), Qt::PlainText);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("new/Documents"))) << "created when missing";
}

// Both kept options: read at start-up, stored by the exit button only.
TEST(StartUp, RestoresTheKeptOptionsFromTheSettings) {
    struct Case {
        std::string key;
        std::optional<std::string> stored;
        bool ticked;
    };
    const std::vector<Case> cases{
        {kOptionKey, std::nullopt, false}, {kOptionKey, "0", false},  {kOptionKey, "1", true},
        {kOptionKey, "abc", false},        {kOptionKey, "7", true},   {kEncryptKey, std::nullopt, true},
        {kEncryptKey, "0", false},         {kEncryptKey, "1", true},  {kStealthKey, std::nullopt, false},
        {kStealthKey, "1", true},          {kStealthKey, "0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + " " + c.stored.value_or("(none)"));
        WritablePlatform platform;
        if (c.stored) platform.settings()[c.key] = *c.stored;
        MainController controller(platform);
        FrmMain& window = controller.Window();
        QCheckBox* boxes[] = {&window.ChkclearBmp(), &window.ChkEncrypt(), &window.ChkStealth()};
        const std::string keys[] = {kOptionKey, kEncryptKey, kStealthKey};
        for (int i = 0; i < 3; ++i) {
            // Nothing stored: the wipe and the no-trace option are off, encryption on.
            bool expected = keys[i] == c.key ? c.ticked : keys[i] == kEncryptKey;
            EXPECT_EQ(boxes[i]->isChecked(), expected) << keys[i];
        }
        EXPECT_EQ(controller.Job().ClearBmp, window.ChkclearBmp().isChecked());
        EXPECT_EQ(window.EncryptTicked(), window.ChkEncrypt().isChecked());
    }
}

TEST(StartUp, CentresTheWindowOnTheScreen) {
    WritablePlatform platform;
    MainController controller(platform);
    const FrmMain& window = controller.Window();
    const QRect screen = window.screen()->geometry();
    const QRect frame = window.frameGeometry();
    EXPECT_LE(std::abs((frame.left() - screen.left()) - (screen.right() - frame.right())), 1);
    EXPECT_LE(std::abs((frame.top() - screen.top()) - (screen.bottom() - frame.bottom())), 1);
}

TEST(WipeOption, TickingTheBoxSetsTheFlagButStoresNothing) {
    WritablePlatform platform;
    MainController controller(platform);
    controller.Window().ChkclearBmp().click();
    EXPECT_TRUE(controller.Job().ClearBmp);
    controller.Window().ChkclearBmp().click();
    EXPECT_FALSE(controller.Job().ClearBmp);
    EXPECT_TRUE(platform.settings().empty());
}

TEST(EncryptOption, CanBeTickedOnlyWhileThePasswordIsUsed) {
    WritablePlatform platform;
    MainController controller(platform);
    FrmMain& window = controller.Window();
    EXPECT_FALSE(window.ChkEncrypt().isEnabled());
    window.Control<QCheckBox>("ChkPassword")->click();
    EXPECT_TRUE(window.ChkEncrypt().isEnabled());
    EXPECT_TRUE(window.EncryptTicked());  // on until the user turns it off
    window.ChkEncrypt().click();
    EXPECT_FALSE(window.EncryptTicked());
    window.SetBusy(true);
    EXPECT_FALSE(window.ChkEncrypt().isEnabled());
    window.SetBusy(false);
    EXPECT_TRUE(window.ChkEncrypt().isEnabled());
    window.Control<QCheckBox>("ChkPassword")->click();
    EXPECT_FALSE(window.ChkEncrypt().isEnabled());
    EXPECT_TRUE(platform.settings().empty());
}

// Leaving no trace is a way of encrypting: it can be ticked only while encryption is.
TEST(StealthOption, CanBeTickedOnlyWhileEncryptionIs) {
    WritablePlatform platform;
    MainController controller(platform);
    FrmMain& window = controller.Window();
    auto& password = *window.Control<QCheckBox>("ChkPassword");
    EXPECT_FALSE(window.ChkStealth().isEnabled());
    password.click();
    EXPECT_TRUE(window.ChkStealth().isEnabled());  // encryption is on by default
    window.ChkStealth().click();
    EXPECT_TRUE(window.StealthTicked());
    window.ChkEncrypt().click();
    EXPECT_FALSE(window.ChkStealth().isEnabled());
    window.ChkEncrypt().click();
    EXPECT_TRUE(window.ChkStealth().isEnabled());
    password.click();
    EXPECT_FALSE(window.ChkStealth().isEnabled());
    window.Control<QPushButton>("Cmdexit")->click();
    EXPECT_EQ(platform.settings()[kStealthKey], "1");
}

TEST(CommandLineFile, OpensAsIfChosenInThePictureDialog) {
    WritablePlatform platform;
    const std::string carrier = platform.Folder() + "/holiday.bmp";
    testing::WriteAll(carrier, testing::CarrierBuilder{}.Build());
    const std::string text = platform.Folder() + "/notes.txt";
    testing::WriteAll(text, {'h', 'i'});
    MainController controller(platform);
    controller.Window().show();

    controller.OpenAtStart(carrier);
    EXPECT_EQ(controller.Window().CaptionOf(Caption::LabCue1), "当前图片:" + carrier);
    EXPECT_TRUE(controller.Window().Control("Frame1")->isVisible());
    EXPECT_TRUE(platform.boxes().empty());

    controller.OpenAtStart(text);
    ASSERT_EQ(platform.boxes().size(), 1u) << "a file that is no picture is refused as in the dialog";
    EXPECT_EQ(controller.Window().CaptionOf(Caption::LabCue1), "当前图片:" + carrier);
}

class ExitTest : public ::testing::Test {
protected:
    void OpenAFile() {
        velquist::testing::WriteAll(folder.File("carrier.bmp"), {});
        platform.Files().OpenExisting(1, folder.File("carrier.bmp"));
        ASSERT_TRUE(platform.Files().IsOpen(1));
    }
    velquist::testing::TempDir folder;
    WritablePlatform platform;
};

TEST_F(ExitTest, ExitButtonClosesFilesStoresTheOptionAndRollsTheWindowAway) {
    MainController controller(platform);
    FrmMain& window = controller.Window();
    window.show();
    OpenAFile();
    window.ChkclearBmp().click();
    window.Control<QCheckBox>("ChkPassword")->click();
    window.ChkEncrypt().click();
    const QRect exitPlace = window.Control("Cmdexit")->geometry();
    // A window manager unmaps a window whose client area has no rows: the strip must stay.
    int lowestHeight = window.height();
    platform.OnYield([&] { lowestHeight = std::min(lowestHeight, window.height()); });

    window.Control<QPushButton>("Cmdexit")->click();

    EXPECT_FALSE(platform.Files().IsOpen(1));
    EXPECT_EQ(platform.settings()[kOptionKey], "1");
    EXPECT_EQ(platform.settings()[kEncryptKey], "0");  // turned off, from its default of on
    EXPECT_GE(lowestHeight, 1);
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
    platform.settings()[kEncryptKey] = "1";
    MainController controller(platform);
    controller.Window().ChkclearBmp().click();
    controller.Window().ChkEncrypt().setChecked(false);
    controller.Cmdexit_Click();
    EXPECT_EQ(platform.settings()[kOptionKey], "0");
    EXPECT_EQ(platform.settings()[kEncryptKey], "0");
}

TEST_F(ExitTest, CloseBoxOnlyClosesTheFiles) {
    MainController controller(platform);
    controller.Window().show();
    OpenAFile();
    controller.Window().ChkclearBmp().click();
    controller.Window().ChkEncrypt().setChecked(true);
    EXPECT_TRUE(controller.Window().close());
    EXPECT_FALSE(platform.Files().IsOpen(1));
    EXPECT_TRUE(platform.settings().empty()) << "a change is kept only by the exit button";
    EXPECT_FALSE(platform.ended());
}

TEST(AboutButton, OpensTheAboutWindowInTheSameStateEachTime) {
    WritablePlatform platform;
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
        EXPECT_EQ(s.text, "vq.example");
        EXPECT_TRUE(s.underlined);
        EXPECT_EQ(s.colour, QColor(0, 0, 255));
        EXPECT_TRUE(s.modal);
    }
}

}  // namespace
}  // namespace velquist
