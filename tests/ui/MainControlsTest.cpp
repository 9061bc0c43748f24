// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QGroupBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include "ui/FrmMain.h"

namespace velquist {
namespace {

constexpr int kTwipsPerPixel = 15;  // at 96 DPI

QRect Pixels(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

QColor TextColour(const QWidget& w) { return w.palette().color(QPalette::WindowText); }

// Types as a keyboard would, one key event per character, whatever the character.
void Type(QWidget& target, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&target, &press);
        QApplication::sendEvent(&target, &release);
    }
}

struct Expected {
    const char* name;
    const char* className;
    QString caption;
    QRect geometry;
    bool visible = true;
    bool enabled = true;
};

QString CaptionOf(QWidget& control) {
    if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) return button->text();
    if (auto* box = qobject_cast<QLineEdit*>(&control)) return box->text();
    if (auto* frame = qobject_cast<QGroupBox*>(&control)) return frame->title();
    return {};
}

class MainControlsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(window.logicalDpiX(), 96) << "geometry expects 96 DPI"; }
    FrmMain window;
};

TEST_F(MainControlsTest, EveryControlHasItsNameKindCaptionPlaceAndStartState) {
    const std::vector<Expected> table{
        {"LabCue1", "QLabel", "您没有选择任何图片", Pixels(1200, 120, 4575, 735)},
        {"LabCue2", "QLabel", "欲嵌入的文件：无", Pixels(1200, 960, 4575, 615)},
        {"LabOutPath", "QLabel", "", Pixels(1200, 1680, 4575, 615)},
        {"Label5", "QLabel", "24位色图片", Pixels(120, 360, 975, 375)},
        {"Label4", "QLabel", "信息文件：", Pixels(120, 1200, 975, 255)},
        {"Label3", "QLabel", "信息文件 输出路径：", Pixels(120, 1800, 975, 495)},
        {"cmdopen", "QPushButton", "选择BMP文件", Pixels(6000, 360, 1695, 375)},
        {"CmdMsgSelect", "QPushButton", "选择信息文件", Pixels(6000, 1080, 1695, 375)},
        {"cmdchgOutPath", "QPushButton", "更改信息输出路径", Pixels(6000, 1800, 1695, 375)},
        {"Frame1", "QGroupBox", "预览", Pixels(120, 2400, 3735, 2895), false},
        {"Imagepre", "QLabel", "", Pixels(120, 240, 3495, 2535)},
        {"ChkclearBmp", "QCheckBox", " 信息取出后将信息从BMP图片中清除", Pixels(4200, 2640, 3255, 255)},
        {"ChkPassword", "QCheckBox", " 使用密码(最长8位)", Pixels(4200, 3240, 2055, 255)},
        {"Label2", "QLabel", "密码：", Pixels(4200, 3840, 615, 375)},
        {"Text1", "QLineEdit", "", Pixels(4920, 3840, 975, 315), true, false},
        {"Label1", "QLabel", "重复：", Pixels(4200, 4560, 615, 255)},
        {"Text2", "QLineEdit", "", Pixels(4920, 4440, 975, 375), true, false},
        {"ChkEncrypt", "QCheckBox", " 加密信息内容", Pixels(4200, 4980, 1935, 255), true, false},
        {"ChkStealth", "QCheckBox", " 不留痕迹", Pixels(6240, 4980, 1455, 255), true, false},
        {"cmdadd", "QPushButton", "嵌入信息", Pixels(6240, 3480, 1455, 615)},
        {"cmdout", "QPushButton", "取出信息", Pixels(6240, 4320, 1455, 615)},
        {"Labtmp", "QLabel", "欢迎使用本软件！！！", Pixels(120, 5400, 2895, 375)},
        {"labfinish", "QLabel", " welcome", Pixels(3120, 5400, 855, 375)},
        {"TxtName", "QLineEdit", "Text3", Pixels(4200, 5400, 1335, 315), false},
        {"CmdAbout", "QPushButton", "vq.example", Pixels(4800, 5400, 1215, 375)},
        {"Cmdexit", "QPushButton", "退出", Pixels(6120, 5400, 1695, 375)},
        {"HScroll1", "QScrollBar", "", Pixels(120, 5760, 1935, 255), false},
        {"HScroll2", "QScrollBar", "", Pixels(2280, 5760, 1815, 255), false},
        {"HScroll3", "QScrollBar", "", Pixels(4200, 5760, 1815, 255), false},
    };
    window.show();
    for (const Expected& row : table) {
        SCOPED_TRACE(row.name);
        QWidget* control = window.Control(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), row.className);
        EXPECT_EQ(CaptionOf(*control), row.caption);
        EXPECT_EQ(control->geometry(), row.geometry);
        EXPECT_EQ(!control->isHidden(), row.visible);
        EXPECT_EQ(control->isEnabled(), row.enabled);
    }
    EXPECT_EQ(window.Control("Imagepre")->parentWidget(), window.Control("Frame1"));
    EXPECT_TRUE(window.Control<QLabel>("Imagepre")->hasScaledContents());
    EXPECT_EQ(window.Controls().size(), table.size() + 1) << "the timer is a control too";
}

TEST_F(MainControlsTest, WindowHasItsCaptionDesignSizeAndRunningTimer) {
    EXPECT_EQ(window.windowTitle(), " Velquist");
    EXPECT_EQ(window.size(), QSize(7965 / kTwipsPerPixel, 6015 / kTwipsPerPixel));
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0, 64, 64));
    EXPECT_TRUE(window.Timer1().isActive());
    EXPECT_EQ(window.Timer1().interval(), 100);
    EXPECT_EQ(window.Timer1().objectName(), "Timer1");
}

TEST_F(MainControlsTest, ColoursAndFontsFollowTheDesign) {
    const QColor yellow(255, 255, 0), cyan(0, 255, 255);
    for (const char* name : {"LabCue1", "LabCue2", "LabOutPath", "Labtmp", "labfinish"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(TextColour(*window.Control(name)), yellow);
        EXPECT_FALSE(window.Control(name)->autoFillBackground()) << "labels are transparent";
    }
    for (const char* name : {"Label5", "Label4", "Label3", "Label2", "Label1", "ChkclearBmp",
                             "ChkPassword", "ChkEncrypt", "ChkStealth"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(TextColour(*window.Control(name)), cyan);
    }
    EXPECT_EQ(window.Control("Frame1")->palette().color(QPalette::Window), QColor(0, 128, 128));
    EXPECT_EQ(window.Control("Cmdexit")->palette().color(QPalette::Button), QColor(128, 0, 0));

    for (const char* name : {"Text1", "Text2", "cmdadd", "cmdout", "labfinish", "TxtName",
                             "Cmdexit"}) {
        EXPECT_DOUBLE_EQ(window.Control(name)->font().pointSizeF(), 10.5) << name;
    }
    for (const char* name : {"LabCue1", "cmdopen", "ChkPassword", "CmdAbout", "Frame1"}) {
        EXPECT_DOUBLE_EQ(window.Control(name)->font().pointSizeF(), 9) << name;
    }
    const QFontInfo used(window.Control("LabCue1")->font());
    EXPECT_TRUE(used.family().contains("CJK SC") || used.family().contains("SimSun") ||
                used.family() == "宋体")
        << used.family().toStdString();
}

// At 96 DPI every fixed caption shows whole on its one line, " welcome" in its narrow label too.
TEST_F(MainControlsTest, FixedCaptionsFitTheirLabels) {
    for (const char* name : {"labfinish", "Labtmp", "Label5", "Label4"}) {
        auto* label = window.Control<QLabel>(name);
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width()) << name;
        EXPECT_LE(metrics.height(), label->contentsRect().height()) << name;
    }
}

TEST_F(MainControlsTest, TabRunsByTheDesignOrderAndExitHasTheFocus) {
    window.SetPasswordBoxesEnabled(true);
    const QStringList expected{"Cmdexit", "ChkPassword", "TxtName", "CmdAbout", "cmdopen", "CmdMsgSelect",
                               "cmdchgOutPath", "ChkclearBmp", "cmdout", "cmdadd", "Text2",
                               "Text1", "ChkEncrypt", "ChkStealth"};
    QStringList chain;
    QWidget* w = window.Control("Cmdexit");
    do {
        if (w->focusPolicy() & Qt::TabFocus) chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != window.Control("Cmdexit"));
    EXPECT_EQ(chain, expected);

    window.show();
    EXPECT_EQ(window.focusWidget(), window.Control("Cmdexit"));
}

TEST_F(MainControlsTest, ReturnOnAFocusedButtonClicksItAsSpaceDoes) {
    std::vector<std::string> clicked;
    window.SetCommandHandlers(CommandHandlers{
        .cmdopen_Click = [&] { clicked.push_back("cmdopen"); },
        .cmdadd_Click = [&] { clicked.push_back("cmdadd"); },
        .cmdout_Click = [&] { clicked.push_back("cmdout"); },
    });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const std::vector<std::pair<const char*, Qt::Key>> presses{
        {"cmdopen", Qt::Key_Return}, {"cmdadd", Qt::Key_Enter}, {"cmdout", Qt::Key_Space}};
    for (const auto& [name, key] : presses) {
        window.Control(name)->setFocus();
        QTest::keyClick(window.Control(name), key);
    }
    EXPECT_EQ(clicked, (std::vector<std::string>{"cmdopen", "cmdadd", "cmdout"}));
}

TEST_F(MainControlsTest, TheCaptionsNameTheControlsForAScreenReader) {
    const std::vector<std::pair<const char*, QString>> names{
        {"Text1", "密码："}, {"Text2", "重复："}, {"ChkEncrypt", "加密信息内容"},
        {"cmdadd", "嵌入信息"}, {"Frame1", "预览"}};
    for (const auto& [name, accessible] : names)
        EXPECT_EQ(window.Control(name)->accessibleName(), accessible) << name;
    EXPECT_EQ(window.Control<QLabel>("Label2")->buddy(), window.Control("Text1"));
    EXPECT_EQ(window.Control<QLabel>("Label1")->buddy(), window.Control("Text2"));

    // A path is shown as it is, markup-like names included, and whole in the tooltip.
    const std::string path = "/home/我/<i>x/很长很长很长很长很长很长很长很长的文件夹/output.bmp";
    window.SetCaption(Caption::LabOutPath, path);
    QLabel& label = *window.Control<QLabel>("LabOutPath");
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    QTextDocument tip;
    tip.setHtml(label.toolTip());
    EXPECT_EQ(tip.toPlainText().toStdString(), path);
    window.SetCaption(Caption::LabOutPath, "");
    EXPECT_TRUE(label.toolTip().isEmpty());
}

TEST_F(MainControlsTest, PasswordBoxesTakeEightPrintableAsciiCharactersAndHideThem) {
    window.show();
    window.SetPasswordBoxesEnabled(true);
    struct Case {
        QString typed;
        QString kept;
    };
    const std::vector<Case> cases{
        {"abc 123~", "abc 123~"},
        {"123456789", "12345678"},
        {"ab密cd", "abcd"},
        {"é!", "!"},
    };
    for (const char* name : {"Text1", "Text2"}) {
        auto* box = window.Control<QLineEdit>(name);
        for (const Case& c : cases) {
            SCOPED_TRACE(name + (": " + c.typed.toStdString()));
            box->clear();
            box->setFocus();
            Type(*box, c.typed);
            EXPECT_EQ(box->text(), c.kept);
            EXPECT_EQ(box->displayText(), QString(c.kept.size(), '*'));
        }
    }
    window.Control<QLineEdit>("Text1")->setText("first");
    window.Control<QLineEdit>("Text2")->setText("second");
    EXPECT_EQ(window.PasswordText().text(), "first");
    EXPECT_EQ(window.RepeatText().text(), "second");

    // An encrypted message takes up to 64 characters of any kind, exactly as typed.
    window.SetLongPasswords(true);
    const QString sixtyFive(65, QLatin1Char('x'));
    const std::vector<Case> longCases{
        {"ab密码é! x", "ab密码é! x"},
        {sixtyFive, sixtyFive.left(64)},
    };
    auto* text1 = window.Control<QLineEdit>("Text1");
    for (const Case& c : longCases) {
        text1->clear();
        text1->setFocus();
        Type(*text1, c.typed);
        EXPECT_EQ(text1->text(), c.kept);
    }
    EXPECT_EQ(window.PasswordText().text(), sixtyFive.left(64).toStdString());
    text1->setText("密码");
    window.Control<QLineEdit>("Text2")->setText("short");
    // Back to what version 1 stores: what would not fit is emptied, never silently cut.
    window.SetLongPasswords(false);
    EXPECT_EQ(text1->text(), "");
    EXPECT_EQ(window.Control<QLineEdit>("Text2")->text(), "short");
    window.ClearPasswordBoxes();
    EXPECT_TRUE(window.PasswordText().empty() && window.RepeatText().empty());
}

}  // namespace
}  // namespace velquist
