// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FrmAbout.h"

#include <QLabel>
#include <QMouseEvent>

#include "platform/Platform.h"
#include "ui/AboutControls.h"
#include "ui/ControlFactory.h"
#include "ui/Twips.h"
#include "ui/UiTexts.h"

namespace velquist {

FrmAbout::FrmAbout(Platform& platform, QWidget* parent)
    // A fixed single border with a close box only: nothing to minimise, nothing to enlarge.
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      platform_(platform) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QString::fromUtf8(UiTexts::kAboutCaption));
    setModal(true);
    setFont(ControlFactory::SongFont(kAboutPoints));
    ControlFactory::SetBackColour(*this, Qt::black);
    setFixedSize(Twips::ToPixels(kAboutClientWidth, Twips::PerPixelX(*this)),
                 Twips::ToPixels(kAboutClientHeight, Twips::PerPixelY(*this)));
    ControlFactory::Build(AboutControls(), *this);
    label1_ = findChild<QLabel*>(QStringLiteral("Label1"));
    label1_->installEventFilter(this);
    label1_->setMouseTracking(true);
    setMouseTracking(true);
    Form_Load();
}

void FrmAbout::Form_Load() {
    label1_->setText(QString::fromUtf8(UiTexts::kWebAddressShown));
    QFont font = label1_->font();
    font.setUnderline(true);
    label1_->setFont(font);
    SetLinkColour(kLinkColour);
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label1_) {
        if (event->type() == QEvent::MouseMove) {
            Label1_MouseMove();
            return true;
        }
        // The press is taken here so that the release, which makes the click, comes back here.
        if (event->type() == QEvent::MouseButtonPress) return true;
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            label1_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            Label1_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAbout::mouseMoveEvent(QMouseEvent* event) {
    // Moves over the frames reach the window too; only its bare surface turns the link blue.
    if (!childAt(event->position().toPoint())) Form_MouseMove();
}

void FrmAbout::Form_MouseMove() {
    SetLinkColour(kLinkColour);
    setCursor(Qt::ArrowCursor);
}

void FrmAbout::Label1_MouseMove() {
    SetLinkColour(kLinkHoverColour);
    setCursor(Qt::ArrowCursor);
}

void FrmAbout::Label1_Click() { platform_.OpenWebAddress(UiTexts::kWebAddress); }

void FrmAbout::SetLinkColour(std::int32_t rgb) {
    ControlFactory::SetTextColour(*label1_, ControlFactory::FromRgb(rgb));
}

}  // namespace velquist
