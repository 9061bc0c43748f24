// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ControlFactory.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "engine/format/PasswordRule.h"
#include "ui/PasswordValidator.h"
#include "ui/Twips.h"

namespace velquist {

namespace {

constexpr int kScrollMaximum = 255;

bool HasFixedCaption(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::CheckBox ||
           kind == ControlKind::Frame;
}

QWidget* CreateWidget(const ControlRow& row, QWidget& parent) {
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(caption, &parent);
            // Captions hold file and folder names, which are shown exactly as they are.
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::Button: {
            // Return clicks the focused button, as Space does.
            auto* button = new QPushButton(caption, &parent);
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::CheckBox: return new QCheckBox(caption, &parent);
        case ControlKind::TextBox: return new QLineEdit(caption, &parent);
        case ControlKind::PasswordBox: {
            auto* box = new QLineEdit(caption, &parent);
            box->setEchoMode(QLineEdit::Password);
            box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
            box->setMaxLength(static_cast<int>(password_rule::kVersion1Longest));
            box->setValidator(new PasswordValidator(box));
            return box;
        }
        case ControlKind::Frame: return new QGroupBox(caption, &parent);
        case ControlKind::Panel: {
            auto* panel = new QFrame(&parent);
            panel->setFrameShape(QFrame::NoFrame);
            return panel;
        }
        case ControlKind::Image: {
            auto* image = new QLabel(&parent);
            image->setScaledContents(true);
            return image;
        }
        case ControlKind::ScrollBar: {
            auto* bar = new QScrollBar(Qt::Horizontal, &parent);
            bar->setRange(0, kScrollMaximum);
            return bar;
        }
        case ControlKind::Timer: break;
    }
    return nullptr;
}

}  // namespace

std::vector<QObject*> ControlFactory::Build(std::span<const ControlRow> table,
                                            QWidget& window) {
    std::vector<QObject*> controls;
    for (const ControlRow& row : table) {
        QWidget* parent = &window;
        if (row.container)
            parent = window.findChild<QWidget*>(QString::fromLatin1(row.container));
        controls.push_back(Create(row, *parent));
    }
    return controls;
}

QObject* ControlFactory::Create(const ControlRow& row, QWidget& parent) {
    QObject* control = nullptr;
    if (row.kind == ControlKind::Timer) {
        control = new QTimer(&parent);
    } else {
        QWidget* widget = CreateWidget(row, parent);
        Style(row, *widget);
        control = widget;
    }
    control->setObjectName(QString::fromLatin1(row.name));
    control->setProperty("tag", QString());
    return control;
}

// The Song typeface's Latin letters are half as wide as its Chinese ones; where the installed
// Chinese font sets them wider and a one-line caption would be cut (" welcome"), the font is
// narrowed just enough for the caption to fit, as far as it stays readable.
static void FitOneLineCaption(QLabel& label) {
    constexpr int kNarrowest = 80;
    constexpr int kNormal = 100;
    QFont font = label.font();
    const QString text = label.text();
    const int room = label.contentsRect().width();
    if (QFontMetrics(font).height() * 2 <= label.height()) return;  // it may take two lines
    int stretch = font.stretch() == QFont::AnyStretch ? kNormal : font.stretch();
    while (QFontMetrics(font).horizontalAdvance(text) > room && stretch > kNarrowest)
        font.setStretch(--stretch);
    label.setFont(font);
}

void ControlFactory::Style(const ControlRow& row, QWidget& control) {
    Twips::Move(control, QRectF(row.left, row.top, row.width, row.height));
    if (row.fontPoints > 0) control.setFont(SongFont(row.fontPoints));
    if (auto* label = qobject_cast<QLabel*>(&control); label && row.kind == ControlKind::Label)
        FitOneLineCaption(*label);
    // Labels are read out by their live text and text boxes by their labels; the captions of
    // buttons, check boxes and frames never change.
    if (HasFixedCaption(row.kind) && row.caption && *row.caption)
        control.setAccessibleName(QString::fromUtf8(row.caption).trimmed());
    // An opaque label keeps the desktop's own colours rather than its container's.
    if (row.opaque) {
        const QPalette desktop = QApplication::palette(&control);
        SetBackColour(control, desktop.color(QPalette::Window));
        SetTextColour(control, desktop.color(QPalette::WindowText));
    }
    if (row.textColour != kNoColour) SetTextColour(control, FromRgb(row.textColour));
    if (row.backColour != kNoColour) SetBackColour(control, FromRgb(row.backColour));
    control.setVisible(row.visible);
    control.setEnabled(row.enabled);
}

QFont ControlFactory::SongFont(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(points);
    return font;
}

void ControlFactory::SetBackColour(QWidget& control, const QColor& colour) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Window, colour);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

void ControlFactory::SetTextColour(QWidget& control, const QColor& colour) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    control.setPalette(palette);
}

QColor ControlFactory::FromRgb(std::int32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace velquist
