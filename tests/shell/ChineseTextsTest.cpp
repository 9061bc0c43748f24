// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTreeView>
#include <filesystem>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>

#include "platform/QtPlatform.h"
#include "shell/ChineseTranslations.h"
#include "shell/MainController.h"
#include "WritablePlatform.h"
#include "support/TempDir.h"
#include "ui/FrmAbout.h"

namespace velquist {
namespace {

// A text passes when, after taking out what may stay Latin (file paths and patterns, web
// addresses, numbers, the product name and the units BMP and KB), no Latin letter is left.
// A keyboard accelerator in brackets, as in "打开(&O)", is how Chinese desktops mark them.
// The percentage label's greeting is the window's own design and stays as it is.
bool IsChinese(QString text) {
    if (text == QStringLiteral(" welcome")) return true;
    static const QRegularExpression kAccelerator(QStringLiteral(R"(\(&[A-Za-z]\))"));
    text.remove(kAccelerator);
    text.remove(QLatin1Char('&'));
    static const QRegularExpression kAllowed(QStringLiteral(
        R"([^\s]*(/|://|\*\.|\.example)[^\s]*|Velquist|BMP|KB|\d+)"));
    text.remove(kAllowed);
    static const QRegularExpression kLatin(QStringLiteral("[A-Za-z]"));
    return !text.contains(kLatin);
}

// Every text a user can see in a window and its visible controls, item views aside (they
// list file names).
std::vector<std::string> ForeignTexts(QWidget* window) {
    std::vector<std::string> foreign;
    auto check = [&](const QString& text, const QObject* where) {
        if (!IsChinese(text))
            foreign.push_back((where->objectName() + QStringLiteral(": ") + text).toStdString());
    };
    check(window->windowTitle(), window);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        bool inItemView = false;
        for (QWidget* p = w; p && p != window; p = p->parentWidget())
            inItemView |= qobject_cast<QAbstractItemView*>(p) != nullptr;
        if (inItemView) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) check(label->text(), w);
        if (auto* button = qobject_cast<QAbstractButton*>(w)) check(button->text(), w);
        if (auto* group = qobject_cast<QGroupBox*>(w)) check(group->title(), w);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) check(edit->placeholderText(), w);
    }
    return foreign;
}

// Opens a modal dialog through `open`, collects its foreign texts once it shows, and closes it.
std::vector<std::string> ForeignTextsOfDialog(const std::function<void()>& open) {
    std::vector<std::string> foreign;
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || seen) return;
        seen = true;
        foreign = ForeignTexts(dialog);
        dialog->close();
    });
    poll.start(20);
    open();
    EXPECT_TRUE(seen);
    return foreign;
}

class ChineseTexts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadChineseTranslations(*qApp)); }
};

TEST_F(ChineseTexts, BothWindowsShowOnlyChinese) {
    testing::WritablePlatform platform;
    MainController controller(platform);
    controller.Window().show();
    EXPECT_EQ(ForeignTexts(&controller.Window()), std::vector<std::string>());
    FrmAbout about(platform, &controller.Window());
    about.show();
    EXPECT_EQ(ForeignTexts(&about), std::vector<std::string>());
}

// The columns beside the names in a file dialog's list: sizes, types and dates, and the
// headers over them.
std::vector<std::string> ForeignColumns(QFileDialog& dialog) {
    std::vector<std::string> foreign;
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return {"no detail view"};
    const QAbstractItemModel& model = *view->model();
    for (int column = 0; column < model.columnCount(view->rootIndex()); ++column) {
        const QString header = model.headerData(column, Qt::Horizontal).toString();
        if (!IsChinese(header)) foreign.push_back(header.toStdString());
        for (int row = 0; column > 0 && row < model.rowCount(view->rootIndex()); ++row) {
            const QString cell = model.index(row, column, view->rootIndex()).data().toString();
            if (!IsChinese(cell)) foreign.push_back(cell.toStdString());
        }
    }
    return foreign;
}

TEST_F(ChineseTexts, FileDialogListsSizesTypesAndDatesInChinese) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir.File("holidays"));
    testing::WriteAll(dir.File("beach.bmp"), std::vector<std::uint8_t>(33, 'B'));
    QtPlatform platform;
    std::vector<std::string> foreign{"never listed"};
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* view = dialog ? dialog->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        // The folder is read in the background; both entries with their sizes must be there.
        if (!view || view->model()->rowCount(view->rootIndex()) < 2) return;
        foreign = ForeignColumns(*dialog);
        dialog->close();
    });
    poll.start(20);
    platform.OpenFileDialog("打开 BMP图片", "*", dir.path());
    EXPECT_EQ(foreign, std::vector<std::string>());
}

TEST_F(ChineseTexts, EveryDialogTheProgramOpensShowsOnlyChinese) {
    QtPlatform platform;
    EXPECT_EQ(ForeignTextsOfDialog([&] { platform.MsgBox("你好", kStyleQuestion, std::string("选择")); }),
              std::vector<std::string>());
    EXPECT_EQ(ForeignTextsOfDialog([&] { platform.MsgBox("你好", kStyleError); }), std::vector<std::string>());
    EXPECT_EQ(ForeignTextsOfDialog([&] { platform.InputBox("请输入密码： ", "核实权限", true); }),
              std::vector<std::string>());
    EXPECT_EQ(ForeignTextsOfDialog([&] { platform.OpenFileDialog("打开 BMP图片", "*.bmp", "/"); }),
              std::vector<std::string>());
    EXPECT_EQ(ForeignTextsOfDialog([&] { platform.BrowseForFolder("选择脱壳文件夹"); }),
              std::vector<std::string>());
}

}  // namespace
}  // namespace velquist
