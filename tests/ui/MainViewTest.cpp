// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTemporaryDir>

#include "ui/FrmMain.h"
#include "workflows/WindowProgress.h"

namespace velquist {
namespace {

TEST(MainView, CaptionsReachTheirControls) {
    FrmMain window;
    const std::vector<std::pair<Caption, const char*>> controls{
        {Caption::LabCue1, "LabCue1"},   {Caption::LabCue2, "LabCue2"},
        {Caption::Labtmp, "Labtmp"},     {Caption::labfinish, "labfinish"},
        {Caption::LabOutPath, "LabOutPath"},
    };
    for (const auto& [caption, name] : controls) {
        window.SetCaption(caption, std::string("文字 ") + name);
        EXPECT_EQ(window.Control<QLabel>(name)->text().toStdString(), std::string("文字 ") + name);
        EXPECT_EQ(window.CaptionOf(caption), std::string("文字 ") + name);
    }
    window.SetCaption(Caption::TxtName, "/tmp/a.txt");
    EXPECT_EQ(window.Control<QLineEdit>("TxtName")->text(), "/tmp/a.txt");
    // A pass's reports become the window's fixed captions, exactly as they always read.
    WindowProgress progress(window);
    const std::vector<std::pair<PassStatus, std::string>> statuses{
        {PassStatus::Embedding, "                        完成度"},
        {PassStatus::Extracting, "                        完成度"},
        {PassStatus::VerifyingPassword, "正在核实密码……"},
        {PassStatus::Embedded, "嵌入完成！"},
    };
    for (const auto& [status, caption] : statuses) {
        progress.Status(status);
        EXPECT_EQ(window.CaptionOf(Caption::Labtmp), caption);
    }
    for (int percent : {0, 42, 100}) {
        progress.Percent(percent);
        EXPECT_EQ(window.CaptionOf(Caption::labfinish), std::to_string(percent) + "%");
    }
}

TEST(MainView, ButtonsCallTheAttachedCommandsAndNothingWhenUnset) {
    FrmMain window;
    std::vector<std::string> called;
    const auto record = [&called](std::string name) {
        return [&called, name] { called.push_back(name); };
    };
    for (const char* name : {"cmdopen", "cmdadd"}) window.Control<QPushButton>(name)->click();
    EXPECT_TRUE(called.empty());

    window.SetCommandHandlers(CommandHandlers{
        .cmdopen_Click = record("cmdopen"),
        .CmdMsgSelect_Click = record("CmdMsgSelect"),
        .ChkPassword_Click = record("ChkPassword"),
        .cmdadd_Click = record("cmdadd"),
        .cmdout_Click = record("cmdout"),
        .cmdchgOutPath_Click = record("cmdchgOutPath"),
    });
    for (const char* name : {"cmdopen", "CmdMsgSelect", "cmdadd", "cmdout", "cmdchgOutPath"})
        window.Control<QPushButton>(name)->click();
    window.Control<QCheckBox>("ChkPassword")->click();
    EXPECT_EQ(called, (std::vector<std::string>{"cmdopen", "CmdMsgSelect", "cmdadd", "cmdout",
                                                "cmdchgOutPath", "ChkPassword"}));
    EXPECT_TRUE(window.PasswordTicked());
}

TEST(MainView, BusyDisablesTheCommandsAndRestoresWhatWasThere) {
    FrmMain window;
    window.show();
    const std::vector<const char*> commands{"cmdopen", "CmdMsgSelect", "cmdadd",     "cmdout",
                                            "cmdchgOutPath", "CmdAbout", "Cmdexit",
                                            "ChkPassword",   "ChkclearBmp", "ChkEncrypt",
                                            "ChkStealth"};
    window.SetPasswordBoxesEnabled(true);
    window.SetPasswordBoxesEnabled(false);
    window.Control("ChkEncrypt")->setEnabled(true);
    window.SetStealthEnabled(true);
    window.SetBusy(true);
    EXPECT_TRUE(window.Busy());
    for (const char* name : commands) EXPECT_FALSE(window.Control(name)->isEnabled()) << name;
    EXPECT_FALSE(window.close()) << "the window stays while a pass holds the files";
    EXPECT_TRUE(window.isVisible());

    window.SetBusy(false);
    for (const char* name : commands) EXPECT_TRUE(window.Control(name)->isEnabled()) << name;
    EXPECT_FALSE(window.Control("Text1")->isEnabled()) << "was disabled before the pass";
    EXPECT_FALSE(window.Control("Text2")->isEnabled());

    window.SetPasswordBoxesEnabled(true);
    window.SetBusy(true);
    EXPECT_FALSE(window.Control("Text1")->isEnabled());
    window.SetBusy(false);
    EXPECT_TRUE(window.Control("Text1")->isEnabled());
    EXPECT_TRUE(window.Control("Text2")->isEnabled());

    int unloads = 0;
    window.SetWindowHandlers(WindowHandlers{.Form_Unload = [&unloads] { ++unloads; }});
    EXPECT_TRUE(window.close());
    EXPECT_EQ(unloads, 1);
}

// Ticks while the window is minimised or hidden are frames nobody sees; afterwards the colours
// go on from where they stopped.
TEST(MainView, GradientPausesWhileTheWindowCannotBeSeen) {
    FrmMain window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int tick = 0; tick < 3; ++tick) window.Timer1_Timer();
    const auto red = [&window] { return window.Control<QScrollBar>("HScroll1")->value(); };
    ASSERT_EQ(red(), 15);

    window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.Timer1().isActive()) << "minimised";
    window.showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.Timer1().isActive(); }));

    window.hide();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.Timer1().isActive()) << "hidden";
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.Timer1().isActive());
    window.Timer1().stop();
    EXPECT_EQ(red(), 15) << "nothing lost while paused";
    window.Timer1_Timer();
    EXPECT_EQ(red(), 20);

    // Once the exit has begun, no showing starts it again.
    window.Timer1().start();
    window.hide();
    QCoreApplication::processEvents();
    window.SetClosing();
    window.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.Timer1().isActive());
}

TEST(MainView, PreviewLoadsPicturesAndRefusesOtherFiles) {
    FrmMain window;
    QTemporaryDir folder;
    const QString picture = folder.filePath("carrier.bmp");
    QImage image(12, 8, QImage::Format_RGB888);
    image.fill(QColor(10, 200, 30));
    ASSERT_TRUE(image.save(picture, "BMP"));
    const QString notPicture = folder.filePath("notes.bmp");
    QFile file(notPicture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM but nothing else");
    file.close();

    EXPECT_FALSE(window.LoadPreview(notPicture.toStdString()));
    EXPECT_FALSE(window.LoadPreview(folder.filePath("missing.bmp").toStdString()));
    EXPECT_TRUE(window.Control<QLabel>("Imagepre")->pixmap().isNull());
    EXPECT_TRUE(window.LoadPreview(picture.toStdString()));
    EXPECT_EQ(window.Control<QLabel>("Imagepre")->pixmap().size(), QSize(12, 8));

    window.show();
    EXPECT_FALSE(window.Control("Frame1")->isVisible());
    window.ShowPreviewFrame();
    EXPECT_TRUE(window.Control("Frame1")->isVisible());
}

}  // namespace
}  // namespace velquist
