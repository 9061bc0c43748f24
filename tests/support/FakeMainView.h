// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <vector>

#include "workflows/MainView.h"

namespace velquist::testing {

// The main window's captions and boxes as plain values, for driving the command handlers
// without a screen.
class FakeMainView : public MainView {
public:
    bool PasswordTicked() const override { return passwordTicked; }
    bool EncryptTicked() const override { return encryptTicked; }
    bool StealthTicked() const override { return stealthTicked; }
    void SetStealthEnabled(bool enabled) override { stealthEnabled = enabled; }
    void SetCaption(Caption control, const std::string& text) override { captions[control] = text; }
    std::string CaptionOf(Caption control) const override {
        auto it = captions.find(control);
        return it == captions.end() ? std::string() : it->second;
    }
    void ShowPreviewFrame() override { previewShown = true; }
    bool LoadPreview(const std::string& path) override {
        if (!picturesLoad) return false;
        preview = path;
        return true;
    }
    SecretBytes PasswordText() const override { return SecretBytes::Of(password); }
    SecretBytes RepeatText() const override { return SecretBytes::Of(repeat); }
    void SetPasswordBoxesEnabled(bool enabled) override { passwordBoxesEnabled = enabled; }
    void ClearPasswordBoxes() override { password.clear(), repeat.clear(); }
    void SetLongPasswords(bool allowed) override { longPasswords = allowed; }
    void SetBusy(bool busy) override {
        busyChanges.push_back(busy);
        busy_ = busy;
    }
    bool Busy() const override { return busy_; }

    std::map<Caption, std::string> captions;
    bool passwordTicked = false;
    bool encryptTicked = false;
    bool stealthTicked = false;
    bool stealthEnabled = false;
    bool previewShown = false;
    bool picturesLoad = true;
    std::string preview;
    std::string password;
    std::string repeat;
    bool passwordBoxesEnabled = false;
    bool longPasswords = false;
    std::vector<bool> busyChanges;

private:
    bool busy_ = false;
};

}  // namespace velquist::testing
