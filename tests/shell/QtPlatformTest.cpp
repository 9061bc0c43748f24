// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include "platform/QtPlatform.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

TEST(QtPlatform, DialogArgumentsBecomeLocalForms) {
    EXPECT_EQ(QtPlatform::DialogFilter("*.bmp"), "*.bmp (*.bmp)");
    EXPECT_EQ(QtPlatform::DialogFilter("*.*"), "*.* (*.*)");
    EXPECT_EQ(QtPlatform::DialogFilter("BMP或PNG图片 (*.bmp *.png)"), QString::fromUtf8("BMP或PNG图片 (*.bmp *.png)"));
    const std::vector<std::pair<std::string, QString>> folders{
        {"c:\\", "/"}, {"C:\\pictures\\old", "/pictures/old"}, {"/home", "/home"}, {"", "/"}};
    for (const auto& [given, local] : folders)
        EXPECT_EQ(QtPlatform::LocalFolder(given), local) << given;
    const std::vector<std::pair<QString, std::string>> chosen{
        {"/", "/"}, {"/tmp/", "/tmp"}, {"/tmp/out", "/tmp/out"}};
    for (const auto& [folder, kept] : chosen)
        EXPECT_EQ(QtPlatform::WithoutTrailingSlash(folder), kept) << folder.toStdString();
}

TEST(QtPlatform, SettingsComeBackPerApplicationSectionAndKey) {
    QStandardPaths::setTestModeEnabled(true);
    QtPlatform platform;
    platform.SaveSetting("QeltoTest", "Lumicrest", "clearBMP", "1");
    EXPECT_EQ(platform.GetSetting("QeltoTest", "Lumicrest", "clearBMP", "0"), "1");
    EXPECT_EQ(platform.GetSetting("QeltoTest", "Other", "clearBMP", "0"), "0");
    EXPECT_EQ(platform.GetSetting("QeltoTest", "Lumicrest", "missing", "d"), "d");
    platform.SaveSetting("QeltoTest", "Lumicrest", "clearBMP", "0");
    EXPECT_EQ(platform.GetSetting("QeltoTest", "Lumicrest", "clearBMP", "1"), "0");
}

TEST(QtPlatform, BoxesShowChineseButtonsAndAnswerYesAsSix) {
    struct Case {
        int style;
        std::optional<std::string> title;
        QString expectedTitle;
        QMessageBox::Icon icon;
        QStringList buttons;
        QString press;
        int answer;
        int defaultAnswer = kAnswerYes;
        QString defaultButton = {};  // the button Return presses in a question
    };
    const std::vector<Case> cases{
        {16, std::nullopt, "Velquist", QMessageBox::Critical, {"确定"}, "确定", 1},
        {48, "警告", "警告", QMessageBox::Warning, {"确定"}, "确定", 1},
        {64, std::nullopt, "Velquist", QMessageBox::Information, {"确定"}, "确定", 1},
        {36, "问题", "问题", QMessageBox::Question, {"否", "是"}, "是", 6, kAnswerYes, "是"},
        {36, "问题", "问题", QMessageBox::Question, {"否", "是"}, "否", 7, kAnswerYes, "是"},
        {36, "问题", "问题", QMessageBox::Question, {"否", "是"}, "是", 6, kAnswerNo, "否"},
    };
    QtPlatform platform;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.style << " " << c.press.toStdString());
        Case seen = c;
        QString prompt;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            seen.expectedTitle = box->windowTitle();
            seen.icon = box->icon();
            prompt = box->text();
            seen.buttons.clear();
            for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
            seen.buttons.sort();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == c.press) button->click();
        });
        const int answer = platform.MsgBox(" 提示 ", c.style, c.title, c.defaultAnswer);
        EXPECT_EQ(answer, c.answer);
        if (c.style == kStyleQuestion) {
            EXPECT_EQ(seen.defaultButton, c.defaultButton);
        }
        EXPECT_EQ(prompt, " 提示 ");
        EXPECT_EQ(seen.expectedTitle, c.expectedTitle);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
    }
}

// A message the user asked to delete goes to the desktop's trash, where it can still be got
// back: the trash is made where the account has none yet, in the home folder and nowhere else
// (not in the working folder); deleting for good deletes.
TEST(QtPlatform, DeletedFileGoesToTheTrashMadeWhereMissing) {
    struct Case {
        const char* name;
        bool dataHomeSet;  // XDG_DATA_HOME names a folder; else ~/.local/share is used
        std::string trash;  // below the home folder
    };
    for (const Case& c : {Case{"a fresh account", false, "/.local/share/Trash"},
                          Case{"a data folder of its own", true, "/data/Trash"}}) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const std::string home = dir.File("home");
        const std::string work = dir.File("work");
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(work);
        ::setenv("HOME", home.c_str(), 1);
        if (c.dataHomeSet)
            ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        const std::filesystem::path before = std::filesystem::current_path();
        std::filesystem::current_path(work);
        const std::string file = home + "/output.txt";
        testing::WriteAll(file, {'m', 's', 'g'});
        QtPlatform platform;
        EXPECT_EQ(platform.MoveToTrash(file), Removal::Trashed);
        std::filesystem::current_path(before);
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(testing::ReadAll(home + c.trash + "/files/output.txt"), (std::vector<std::uint8_t>{'m', 's', 'g'}));
        EXPECT_TRUE(std::filesystem::exists(home + c.trash + "/info/output.txt.trashinfo"));
        EXPECT_TRUE(testing::ListFolder(work).empty());

        testing::WriteAll(file, {'m'});
        EXPECT_EQ(platform.DeleteFile(file), Removal::Deleted);
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(platform.DeleteFile(file), Removal::Failed);
    }
}

}  // namespace
}  // namespace velquist
