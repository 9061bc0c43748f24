// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "engine/MainWindowPort.h"

namespace velquist::testing {

// Stands in for the main window's captions: keeps every caption set, in order.
class RecordingWindow : public MainWindowPort {
public:
    void SetStatusCaption(const std::string& text) override { status.push_back(text); }
    void SetPercentCaption(const std::string& text) override { percent.push_back(text); }
    bool PasswordTicked() const override { return passwordTicked; }
    bool EncryptTicked() const override { return encryptTicked; }

    std::vector<std::string> status;
    std::vector<std::string> percent;
    bool passwordTicked = false;
    bool encryptTicked = false;
};

}  // namespace velquist::testing
