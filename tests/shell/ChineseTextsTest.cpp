#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>

#include "platform/QtPlatform.h"
#include "shell/ChineseTranslations.h"
#include "shell/MainController.h"
#include "support/ScriptedPlatform.h"
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
        R"([^\s]*(/|://|\*\.|\.org)[^\s]*|Velquist|BMP|KB|\d+)"));
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
    testing::ScriptedPlatform platform;
    MainController controller(platform);
    controller.Window().show();
    EXPECT_EQ(ForeignTexts(&controller.Window()), std::vector<std::string>());
    FrmAbout about(platform, &controller.Window());
    about.show();
    EXPECT_EQ(ForeignTexts(&about), std::vector<std::string>());
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
