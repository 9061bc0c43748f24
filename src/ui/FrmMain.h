// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "ui/CommandHandlers.h"
#include "ui/Grad.h"
#include "ui/WindowHandlers.h"
#include "workflows/MainView.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTimer;

namespace velquist {

// The main window: its controls, the gradient behind them, and the view the command
// handlers work through. The handlers themselves are attached from outside.
class FrmMain : public QWidget, public MainView {
public:
    explicit FrmMain(QWidget* parent = nullptr);

    void SetCommandHandlers(CommandHandlers handlers) { commands_ = std::move(handlers); }
    void SetWindowHandlers(WindowHandlers handlers) { window_ = std::move(handlers); }

    // Every control in the window's control order, the timer included.
    const std::vector<QObject*>& Controls() const { return controls_; }
    template <class T = QWidget>
    T* Control(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }
    QTimer& Timer1() const { return *timer1_; }
    QCheckBox& ChkclearBmp() const { return *chkclearBmp_; }
    QCheckBox& ChkEncrypt() const { return *chkEncrypt_; }
    QCheckBox& ChkStealth() const { return *chkStealth_; }

    // Runs an event's handler, if one is set, so that no exception reaches the event loop.
    static void Call(const std::function<void()>& handler);

    // Set when the exit animation begins; the layout then leaves the controls alone.
    bool Closing() const { return closing_; }
    void SetClosing() { closing_ = true; }

    // One step of the gradient: moves the colour, publishes it and repaints.
    void Timer1_Timer();
    const Grad::Bands& Bands() const { return bands_; }

    // MainView
    bool PasswordTicked() const override;
    bool EncryptTicked() const override;
    bool StealthTicked() const override;
    void SetCaption(Caption control, const std::string& text) override;
    std::string CaptionOf(Caption control) const override;
    void ShowPreviewFrame() override;
    bool LoadPreview(const std::string& path) override;
    SecretBytes PasswordText() const override;
    SecretBytes RepeatText() const override;
    void SetPasswordBoxesEnabled(bool enabled) override;
    void ClearPasswordBoxes() override;
    void SetLongPasswords(bool allowed) override;
    void SetStealthEnabled(bool enabled) override;
    void SetBusy(bool busy) override;
    bool Busy() const override { return busy_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Component {
        std::int16_t value = 0;
        bool down = false;
        int step;
        int turnDownAbove;
        int turnUpBelow;
    };

    void CreateControls();
    void ConnectControls();
    void SetTabOrder();
    void NameTheControls();
    void SetLabelText(QLabel& label, const QString& text);
    // The gradient runs only while the window can be seen.
    void SetSeen(bool seen);
    static void Advance(Component& component);
    static void Turn(Component& component);

    std::vector<QObject*> controls_;
    QTimer* timer1_ = nullptr;
    QCheckBox* chkclearBmp_ = nullptr;
    QCheckBox* chkPassword_ = nullptr;
    QCheckBox* chkEncrypt_ = nullptr;
    QCheckBox* chkStealth_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    std::array<QScrollBar*, 3> scrolls_{};
    CommandHandlers commands_;
    WindowHandlers window_;
    bool closing_ = false;
    bool busy_ = false;
    bool paused_ = false;
    bool watchingExposure_ = false;
    bool framed_ = false;
    std::map<QWidget*, bool> enabledBeforeBusy_;
    Component red_{0, false, 5, 200, 20};
    Component green_{0, false, 2, 200, 16};
    Component blue_{0, false, 8, 200, 24};
    Grad::Bands bands_{};
    bool bandsPainted_ = false;
};

}  // namespace velquist
