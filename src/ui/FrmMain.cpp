// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FrmMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <exception>

#include "ui/ControlFactory.h"
#include "engine/format/PasswordRule.h"
#include "ui/MainControls.h"
#include "ui/PasswordValidator.h"
#include "ui/Twips.h"
#include "ui/UiTexts.h"

namespace velquist {

namespace {

constexpr int kTimer1IntervalMs = 100;

// Disabled while a pass runs, so nothing can start a second job or pull the files away.
constexpr std::array kBusyControls{"cmdopen",     "CmdMsgSelect", "cmdadd",      "cmdout",
                                   "cmdchgOutPath", "CmdAbout",   "Cmdexit",     "ChkPassword",
                                   "ChkclearBmp", "ChkEncrypt",   "ChkStealth",  "Text1",
                                   "Text2"};

// The controls that take the gradient's current colour, in the order they are recoloured.
constexpr std::array kPulsingControls{"CmdAbout", "Cmdexit",       "cmdadd",
                                      "cmdout",   "cmdopen",       "CmdMsgSelect",
                                      "cmdchgOutPath", "ChkPassword", "ChkclearBmp",
                                      "ChkEncrypt", "ChkStealth"};

// Labels whose path can be longer than they are wide: a tooltip shows the whole text.
constexpr std::array kPathLabels{"LabCue1", "LabCue2", "LabOutPath"};

const char* NameOf(Caption control) {
    switch (control) {
        case Caption::LabCue1: return "LabCue1";
        case Caption::LabCue2: return "LabCue2";
        case Caption::Labtmp: return "Labtmp";
        case Caption::labfinish: return "labfinish";
        case Caption::LabOutPath: return "LabOutPath";
        case Caption::TxtName: return "TxtName";
    }
    return "";
}

int Whole(double value) { return static_cast<int>(Twips::RoundHalfEven(value)); }

bool IsPathLabel(const QString& name) {
    return std::find(kPathLabels.begin(), kPathLabels.end(), name) != kPathLabels.end();
}

// A tooltip is shown as rich text whenever it looks like markup; a path is shown as it is.
QString PlainToolTip(const QString& text) {
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

}  // namespace

FrmMain::FrmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QString::fromUtf8(UiTexts::kMainCaption));
    setFont(ControlFactory::SongFont(kWindowPoints));
    ControlFactory::SetBackColour(*this, ControlFactory::FromRgb(kMainBackColour));
    resize(Twips::ToPixels(kMainDesignWidth, Twips::PerPixelX(*this)),
           Twips::ToPixels(kMainDesignHeight, Twips::PerPixelY(*this)));
    CreateControls();
    ConnectControls();
    SetTabOrder();
    NameTheControls();
    timer1_->start(kTimer1IntervalMs);
    Control("Cmdexit")->setFocus();
    setAcceptDrops(true);
}

void FrmMain::CreateControls() {
    controls_ = ControlFactory::Build(MainControls(), *this);
    timer1_ = Control<QTimer>("Timer1");
    chkclearBmp_ = Control<QCheckBox>("ChkclearBmp");
    chkPassword_ = Control<QCheckBox>("ChkPassword");
    chkEncrypt_ = Control<QCheckBox>("ChkEncrypt");
    chkStealth_ = Control<QCheckBox>("ChkStealth");
    text1_ = Control<QLineEdit>("Text1");
    text2_ = Control<QLineEdit>("Text2");
    scrolls_ = {Control<QScrollBar>("HScroll1"), Control<QScrollBar>("HScroll2"),
                Control<QScrollBar>("HScroll3")};
}

void FrmMain::ConnectControls() {
    const auto click = [this](const char* name, const std::function<void()>* handler) {
        connect(Control<QPushButton>(name), &QPushButton::clicked, this,
                [handler] { Call(*handler); });
    };
    click("cmdopen", &commands_.cmdopen_Click);
    click("CmdMsgSelect", &commands_.CmdMsgSelect_Click);
    click("cmdadd", &commands_.cmdadd_Click);
    click("cmdout", &commands_.cmdout_Click);
    click("cmdchgOutPath", &commands_.cmdchgOutPath_Click);
    click("CmdAbout", &window_.CmdAbout_Click);
    click("Cmdexit", &window_.Cmdexit_Click);
    connect(chkPassword_, &QCheckBox::stateChanged, this,
            [this] { Call(commands_.ChkPassword_Click); });
    connect(chkEncrypt_, &QCheckBox::stateChanged, this,
            [this] { Call(commands_.ChkEncrypt_Click); });
    connect(chkStealth_, &QCheckBox::stateChanged, this,
            [this] { Call(commands_.ChkStealth_Click); });
    connect(chkclearBmp_, &QCheckBox::stateChanged, this,
            [this] { Call(window_.ChkclearBmp_Click); });
    connect(timer1_, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
}

void FrmMain::SetTabOrder() {
    std::vector<std::pair<int, QWidget*>> order;
    for (const ControlRow& row : MainControls()) {
        QWidget* control = Control(row.name);
        if (row.tab >= 0 && control && control->focusPolicy() != Qt::NoFocus)
            order.emplace_back(row.tab, control);
    }
    std::sort(order.begin(), order.end());
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1].second, order[i].second);
}

void FrmMain::NameTheControls() {
    // The password boxes are announced by the labels beside them.
    const std::array<std::pair<const char*, QLineEdit*>, 2> boxes{{{"Label2", text1_},
                                                                    {"Label1", text2_}}};
    for (const auto& [labelName, box] : boxes) {
        auto* label = Control<QLabel>(labelName);
        label->setBuddy(box);
        box->setAccessibleName(label->text().trimmed());
    }
    for (const char* name : kPathLabels) {
        auto* label = Control<QLabel>(name);
        label->setToolTip(PlainToolTip(label->text()));
    }
}

// A handler runs inside Qt's event loop, which no exception may cross: whatever the commands
// did not turn into an outcome ends here, told in a box, and the window goes on.
void FrmMain::Call(const std::function<void()>& handler) {
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromUtf8(UiTexts::kMainCaption).trimmed(),
                              QString::fromUtf8(UiTexts::kUnexpectedError) +
                                  QString::fromLocal8Bit(e.what()));
    }
}

void FrmMain::Advance(Component& component) {
    component.value = static_cast<std::int16_t>(
        component.value + (component.down ? -component.step : component.step));
}

void FrmMain::Turn(Component& component) {
    if (component.value > component.turnDownAbove) component.down = true;
    if (component.value < component.turnUpBelow) component.down = false;
}

void FrmMain::Timer1_Timer() {
    Advance(red_);
    Advance(green_);
    Advance(blue_);
    scrolls_[0]->setValue(red_.value);
    scrolls_[1]->setValue(green_.value);
    scrolls_[2]->setValue(blue_.value);
    Turn(red_);
    Turn(green_);
    Turn(blue_);

    const QSizeF outer = Twips::OuterSize(*this);
    const int red = scrolls_[0]->value();
    const int green = scrolls_[1]->value();
    const int blue = scrolls_[2]->value();
    bands_ = Grad::GradPaint(Whole(outer.height()), Whole(outer.width()), red, green, blue,
                             green_.down);
    bandsPainted_ = true;
    const QColor colour(red, green, blue);
    for (const char* name : kPulsingControls) ControlFactory::SetBackColour(*Control(name), colour);
    update();
}

void FrmMain::paintEvent(QPaintEvent*) {
    if (!bandsPainted_) return;
    QPainter painter(this);
    Grad::PaintBands(painter, bands_, Twips::PerPixelX(*this), Twips::PerPixelY(*this));
}

void FrmMain::resizeEvent(QResizeEvent*) { Call(window_.Form_Resize); }

void FrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!watchingExposure_ && windowHandle()) {
        windowHandle()->installEventFilter(this);
        watchingExposure_ = true;
    }
    SetSeen(true);
}

void FrmMain::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    SetSeen(false);
}

void FrmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) SetSeen(!isMinimized() && isVisible());
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        const bool exposed = windowHandle()->isExposed();
        SetSeen(exposed && !isMinimized());
        if (exposed && !framed_) {
            framed_ = true;
            Call(window_.Form_Framed);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmMain::SetSeen(bool seen) {
    // Frames nobody sees cost a share of a core; the colours wait where they are. The exit
    // button stops the timer for good, which a later exposure must not undo.
    if (!seen && timer1_->isActive()) {
        timer1_->stop();
        paused_ = true;
    } else if (seen && paused_ && !closing_) {
        paused_ = false;
        timer1_->start(kTimer1IntervalMs);
    }
}

void FrmMain::closeEvent(QCloseEvent* event) {
    // A pass holds the files open; the window stays until it has finished.
    if (busy_) {
        event->ignore();
        return;
    }
    Call(window_.Form_Unload);
    event->accept();
}

namespace {

std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

}  // namespace

void FrmMain::dragEnterEvent(QDragEnterEvent* event) {
    // Nothing is taken while a pass holds the files open.
    if (!busy_ && !LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void FrmMain::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths = LocalFiles(event->mimeData());
    if (busy_ || paths.empty() || !commands_.Form_DragDrop) return;
    event->acceptProposedAction();
    Call([this, &paths] { commands_.Form_DragDrop(paths); });
}

bool FrmMain::PasswordTicked() const { return chkPassword_->isChecked(); }

bool FrmMain::EncryptTicked() const { return chkEncrypt_->isChecked(); }

bool FrmMain::StealthTicked() const { return chkStealth_->isChecked(); }

void FrmMain::SetCaption(Caption control, const std::string& text) {
    const QString caption = QString::fromStdString(text);
    if (control == Caption::TxtName)
        Control<QLineEdit>(NameOf(control))->setText(caption);
    else
        SetLabelText(*Control<QLabel>(NameOf(control)), caption);
}

std::string FrmMain::CaptionOf(Caption control) const {
    if (control == Caption::TxtName)
        return Control<QLineEdit>(NameOf(control))->text().toStdString();
    return Control<QLabel>(NameOf(control))->text().toStdString();
}

void FrmMain::SetLabelText(QLabel& label, const QString& text) {
    label.setText(text);
    if (IsPathLabel(label.objectName())) label.setToolTip(PlainToolTip(text));
}

void FrmMain::ShowPreviewFrame() { Control("Frame1")->show(); }

bool FrmMain::LoadPreview(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    const QImage picture = reader.read();
    if (picture.isNull()) return false;
    Control<QLabel>("Imagepre")->setPixmap(QPixmap::fromImage(picture));
    return true;
}

namespace {

// The box's text as UTF-8 in guarded memory; the plain copy made on the way is zeroed.
SecretBytes SecretOf(const QLineEdit& box) {
    QByteArray utf8 = box.text().toUtf8();
    SecretBytes secret = SecretBytes::Of(std::span(reinterpret_cast<const std::uint8_t*>(utf8.constData()),
                                                   static_cast<std::size_t>(utf8.size())));
    std::fill(utf8.begin(), utf8.end(), '\0');
    return secret;
}

}  // namespace

SecretBytes FrmMain::PasswordText() const { return SecretOf(*text1_); }

SecretBytes FrmMain::RepeatText() const { return SecretOf(*text2_); }

void FrmMain::ClearPasswordBoxes() {
    for (QLineEdit* box : {text1_, text2_}) {
        box->setText(QString(box->text().size(), QLatin1Char(' ')));
        box->clear();
    }
}

void FrmMain::SetLongPasswords(bool allowed) {
    for (QLineEdit* box : {text1_, text2_}) {
        auto* validator = static_cast<PasswordValidator*>(const_cast<QValidator*>(box->validator()));
        validator->AllowLong(allowed);
        if (!validator->Fits(box->text())) box->clear();
        box->setMaxLength(static_cast<int>(allowed ? password_rule::kVersion2Longest
                                                   : password_rule::kVersion1Longest));
    }
}

void FrmMain::SetPasswordBoxesEnabled(bool enabled) {
    text1_->setEnabled(enabled);
    text2_->setEnabled(enabled);
    chkEncrypt_->setEnabled(enabled);
}

void FrmMain::SetStealthEnabled(bool enabled) { chkStealth_->setEnabled(enabled); }

void FrmMain::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    for (const char* name : kBusyControls) {
        QWidget* control = Control(name);
        if (busy) {
            enabledBeforeBusy_[control] = control->isEnabled();
            control->setEnabled(false);
        } else {
            control->setEnabled(enabledBeforeBusy_[control]);
        }
    }
}

}  // namespace velquist
