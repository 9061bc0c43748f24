// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ProportionalLayout.h"

#include <QFont>
#include <QWidget>
#include <charconv>

#include "ui/FrmMain.h"
#include "ui/MainControls.h"
#include "ui/Twips.h"

namespace velquist {

namespace {

constexpr const char* kTag = "tag";

QString Field(double value) { return ProportionalLayout::Number(value) + QLatin1Char(' '); }

}  // namespace

QString ProportionalLayout::Number(double value) {
    std::array<char, 64> text{};
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return QString::fromLatin1(text.data(), result.ptr - text.data());
}

std::array<double, 5> ProportionalLayout::ReadTag(const QString& tag) {
    std::array<double, 5> fields{};
    qsizetype start = 0;
    for (double& field : fields) {
        const qsizetype space = tag.indexOf(QLatin1Char(' '), start);
        if (space < 0) continue;
        field = tag.mid(start, space - start).toDouble();
        start = space + 1;
    }
    return fields;
}

void ProportionalLayout::Capture() {
    const QSizeF client = Twips::ClientSize(window_);
    designScaleWidth_ = static_cast<std::int32_t>(Twips::RoundHalfEven(client.width()));
    designScaleHeight_ = static_cast<std::int32_t>(Twips::RoundHalfEven(client.height()));

    const auto rows = MainControls();
    const auto& controls = window_.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        auto* control = qobject_cast<QWidget*>(controls[i]);
        if (!control) continue;  // the timer has no place and keeps its empty tag
        const QRectF place = Twips::Rect(*control);
        QString tag = Field(place.left()) + Field(place.top()) + Field(place.width()) +
                      Field(place.height());
        if (HasFont(rows[i].kind)) tag += Field(control->font().pointSizeF());
        control->setProperty(kTag, tag);
    }
}

void ProportionalLayout::Form_Resize() { Relayout(Twips::ClientSize(window_)); }

void ProportionalLayout::Relayout(const QSizeF& clientTwips) {
    // The exit animation shrinks the window; the controls keep their size meanwhile.
    if (window_.Closing()) return;
    const double sx = clientTwips.width() / static_cast<double>(designScaleWidth_);
    const double sy = clientTwips.height() / static_cast<double>(designScaleHeight_);
    const double fontScale = sx < sy ? sx : sy;

    window_.setUpdatesEnabled(false);
    for (QObject* object : window_.Controls()) {
        auto* control = qobject_cast<QWidget*>(object);
        if (!control) continue;
        const auto f = ReadTag(control->property(kTag).toString());
        Twips::Move(*control, QRectF(sx * f[0], sy * f[1], sx * f[2], sy * f[3]));
        // A minimised window asks for size 0, which no font has; the next resize sets it again.
        const double points = fontScale * f[4];
        if (points > 0) {
            QFont font = control->font();
            font.setPointSizeF(points);
            control->setFont(font);
        }
    }
    window_.setUpdatesEnabled(true);
}

}  // namespace velquist
