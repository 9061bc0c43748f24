// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSizeF>
#include <QString>
#include <array>
#include <cstdint>

namespace velquist {

class FrmMain;

// Keeps the main window's controls in proportion to its client area. At start-up every
// control's design place and font size are written into its "tag" as text; every resize
// places the controls afresh from those numbers, so no error builds up over many resizes.
class ProportionalLayout {
public:
    explicit ProportionalLayout(FrmMain& window) : window_(window) {}

    // The last step of start-up, once the window has its design size and place.
    void Capture();
    // The window's resize handler.
    void Form_Resize();
    // Places every control for a client area of the given size in twips.
    void Relayout(const QSizeF& clientTwips);

    std::int32_t DesignScaleWidth() const { return designScaleWidth_; }
    std::int32_t DesignScaleHeight() const { return designScaleHeight_; }

    // The up to five numbers of a tag; a field without its closing space reads as 0.
    static std::array<double, 5> ReadTag(const QString& tag);
    // The shortest decimal text that reads back as the same value.
    static QString Number(double value);

private:
    FrmMain& window_;
    std::int32_t designScaleWidth_ = 0;
    std::int32_t designScaleHeight_ = 0;
};

}  // namespace velquist
