// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;

namespace velquist {

class Platform;

// The About window: notice, credits and a link label that opens the project's home page.
// Every showing is a fresh window, so it always starts in its loaded state.
class FrmAbout : public QDialog {
public:
    FrmAbout(Platform& platform, QWidget* parent = nullptr);

    QLabel& Label1() const { return *label1_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Form_Load();
    void Form_MouseMove();
    void Label1_MouseMove();
    void Label1_Click();
    void SetLinkColour(std::int32_t rgb);

    Platform& platform_;
    QLabel* label1_ = nullptr;
};

}  // namespace velquist
