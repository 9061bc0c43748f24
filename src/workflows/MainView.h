// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

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
    // Whether the password (ChkPassword) and encryption (ChkEncrypt) options are ticked.
    virtual bool PasswordTicked() const = 0;
    virtual bool EncryptTicked() const = 0;
    // The password boxes (Text1, Text2).
    virtual std::string PasswordText() const = 0;
    virtual std::string RepeatText() const = 0;
    virtual void SetPasswordBoxesEnabled(bool enabled) = 0;
    // While a pass runs: command buttons, both check boxes and the password boxes are
    // disabled and the window refuses to close; false restores what was there before.
    virtual void SetBusy(bool busy) = 0;
    virtual bool Busy() const = 0;
};

}  // namespace velquist
