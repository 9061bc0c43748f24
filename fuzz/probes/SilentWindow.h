// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/MainWindowPort.h"

namespace velquist::probes {

// A main window nobody looks at: captions are dropped, the password option is as set.
class SilentWindow : public MainWindowPort {
public:
    void SetStatusCaption(const std::string&) override {}
    void SetPercentCaption(const std::string&) override {}
    bool PasswordTicked() const override { return passwordTicked; }
    bool EncryptTicked() const override { return encryptTicked; }

    bool passwordTicked = false;
    bool encryptTicked = false;
};

}  // namespace velquist::probes
