// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <span>
#include <vector>

#include "ui/ControlRow.h"

class QObject;
class QWidget;

namespace velquist {

// Builds a window's controls from its controls table.
class ControlFactory {
public:
    // Creates every row on `window` (or inside its container) and returns them in table order.
    static std::vector<QObject*> Build(std::span<const ControlRow> table, QWidget& window);
    // The Song typeface, or the installed Simplified Chinese face that stands in for it.
    static QFont SongFont(double points);
    static void SetBackColour(QWidget& control, const QColor& colour);
    static void SetTextColour(QWidget& control, const QColor& colour);
    static QColor FromRgb(std::int32_t rgb);

private:
    static QObject* Create(const ControlRow& row, QWidget& parent);
    static void Style(const ControlRow& row, QWidget& control);
};

}  // namespace velquist
