// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MainWindowPort.h"

namespace velquist::cli {

class ErrorConsole;

// The main window's captions as a terminal shows them: the percentage drives the progress
// bar; the status line only labels it, since every outcome also arrives as a message.
class ConsoleWindow : public MainWindowPort {
public:
    explicit ConsoleWindow(ErrorConsole& console) : console_(console) {}

    void SetStatusCaption(const std::string& text) override;
    void SetPercentCaption(const std::string& text) override;
    bool PasswordTicked() const override { return passwordTicked_; }
    bool EncryptTicked() const override { return encryptTicked_; }

    void TickPassword(bool ticked) { passwordTicked_ = ticked; }
    void TickEncrypt(bool ticked) { encryptTicked_ = ticked; }

private:
    ErrorConsole& console_;
    bool passwordTicked_ = false;
    bool encryptTicked_ = false;
};

}  // namespace velquist::cli
