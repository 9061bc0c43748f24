// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/crypto/SecretBytes.h"

namespace velquist {

// Captions of the main window that the command handlers read or write, by control name.
enum class Caption { LabCue1, LabCue2, Labtmp, labfinish, LabOutPath, TxtName };

// What the hide and extract handlers need of the main window, free of any toolkit so the
// handlers can be driven by the real window and by tests alike.
class MainView {
public:
    virtual ~MainView() = default;
    virtual void SetCaption(Caption control, const std::string& text) = 0;
    virtual std::string CaptionOf(Caption control) const = 0;
    // Shows the preview frame (Frame1).
    virtual void ShowPreviewFrame() = 0;
    // Loads the picture into the preview (Imagepre); false when it is no readable picture.
    virtual bool LoadPreview(const std::string& path) = 0;
    // Whether the password (ChkPassword), encryption (ChkEncrypt) and no-trace (ChkStealth)
    // options are ticked.
    virtual bool PasswordTicked() const = 0;
    virtual bool EncryptTicked() const = 0;
    virtual bool StealthTicked() const = 0;
    // The no-trace option can be ticked only while encryption is.
    virtual void SetStealthEnabled(bool enabled) = 0;
    // The password boxes (Text1, Text2), as typed (UTF-8).
    virtual SecretBytes PasswordText() const = 0;
    virtual SecretBytes RepeatText() const = 0;
    virtual void SetPasswordBoxesEnabled(bool enabled) = 0;
    // Empties both password boxes, once their text has been taken over.
    virtual void ClearPasswordBoxes() = 0;
    // Whether the boxes take the long passwords of an encrypted message (up to 64 characters
    // of any kind) or only what version 1 stores (8 printable ASCII characters); switching to
    // the short ones empties boxes whose text would not fit.
    virtual void SetLongPasswords(bool allowed) = 0;
    // While a pass runs: command buttons, both check boxes and the password boxes are
    // disabled and the window refuses to close; false restores what was there before.
    virtual void SetBusy(bool busy) = 0;
    virtual bool Busy() const = 0;
};

}  // namespace velquist
