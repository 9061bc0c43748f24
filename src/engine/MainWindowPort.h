// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist {

// The little of the main window that the engine touches: the status line (Labtmp), the
// percentage (labfinish) and whether the password (ChkPassword) and encryption (ChkEncrypt)
// options are ticked. The window, the command line and the benchmark each provide their own.
class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;
    virtual void SetStatusCaption(const std::string& text) = 0;
    virtual void SetPercentCaption(const std::string& text) = 0;
    virtual bool PasswordTicked() const = 0;
    virtual bool EncryptTicked() const = 0;
};

}  // namespace velquist
