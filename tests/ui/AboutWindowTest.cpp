// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "support/ScriptedPlatform.h"
#include "ui/FrmAbout.h"
#include "ui/FrmMain.h"

namespace velquist {
namespace {

QColor LinkColour(const FrmAbout& about) {
    return about.Label1().palette().color(QPalette::WindowText);
}

TEST(AboutWindow, LinkLabelShowsTheAddressAndOpensItWithItsScheme) {
    testing::ScriptedPlatform platform;
    FrmAbout about(platform);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));

    EXPECT_EQ(about.windowTitle(), "关于Velquist");
    EXPECT_EQ(about.size(), QSize(4425 / 15, 4380 / 15));
    EXPECT_EQ(about.minimumSize(), about.maximumSize()) << "the About window is not resizable";
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.findChild<QPushButton*>("CmdOk")->text(), "vq.example");

    const QPalette notice = about.findChild<QLabel*>("Label5")->palette();
    EXPECT_NE(notice.color(QPalette::Window), notice.color(QPalette::WindowText))
        << "the notice must be readable on its own background";

    QLabel& link = about.Label1();
    EXPECT_EQ(link.text(), "vq.example");
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(LinkColour(about), QColor(0, 0, 255));
    const QPoint centre = link.mapTo(&about, link.rect().center());
    EXPECT_EQ(about.childAt(centre), &link) << "the link can be reached with the pointer";

    QTest::mouseMove(&link, link.rect().center());
    EXPECT_EQ(LinkColour(about), QColor(255, 0, 0));
    QTest::mouseMove(about.findChild<QWidget*>("Label5"), QPoint(5, 5));
    EXPECT_EQ(LinkColour(about), QColor(255, 0, 0)) << "moves over the frames change nothing";
    QTest::mouseMove(&about, QPoint(3, 3));
    EXPECT_EQ(LinkColour(about), QColor(0, 0, 255));
    EXPECT_EQ(about.cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(platform.webAddresses(), std::vector<std::string>{"https://vq.example"});
}

// The address is drawn inside the button's frame; what does not fit there is cut off.
TEST(AboutWindow, WebAddressesFitTheirButtons) {
    testing::ScriptedPlatform platform;
    FrmAbout about(platform);
    FrmMain window;
    ASSERT_EQ(window.logicalDpiX(), 96);
    for (QPushButton* button : {about.findChild<QPushButton*>("CmdOk"),
                                window.Control<QPushButton>("CmdAbout")}) {
        SCOPED_TRACE(button->objectName().toStdString());
        QStyleOptionButton option;
        option.initFrom(button);
        option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents,
                                                             &option, button);
        EXPECT_EQ(button->text(), "vq.example");
        EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()), inside.width());
    }
}

TEST(AboutWindow, EscapeClosesItAndReturnOnItsButtonDoesNot) {
    testing::ScriptedPlatform platform;
    FrmAbout about(platform);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    auto* ok = about.findChild<QPushButton*>("CmdOk");
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_TRUE(about.isVisible()) << "the button has no action";
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace velquist
