// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/HideCommand.h"

#include "engine/EmbedPass.h"
#include "engine/HideOptions.h"
#include "engine/JobState.h"
#include "engine/format/PasswordRule.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "workflows/BusyScope.h"
#include "workflows/MainView.h"
#include "workflows/OutcomeBoxes.h"
#include "workflows/WindowProgress.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

void HideCommand::ChkPassword_Click() { view_.SetPasswordBoxesEnabled(view_.PasswordTicked()); }

// An encrypted message stores no password, so its password may be long and of any characters.
void HideCommand::ChkEncrypt_Click() { view_.SetLongPasswords(view_.EncryptTicked()); }

bool HideCommand::Refused() {
    if (job_.ImagePath.empty()) {
        platform_.MsgBox(texts::kHideNoPicture, kStyleError, texts::kHideNoPictureTitle);
        return true;
    }
    if (job_.HiddenMark != 0) {
        platform_.MsgBox(texts::kHideHasData, kStyleError, texts::kHideHasDataTitle);
        return true;
    }
    if (job_.MsgPath.empty()) {
        platform_.MsgBox(texts::kHideNoMessage, kStyleWarning, texts::kHideNoMessageTitle);
        return true;
    }
    if (!view_.PasswordTicked()) return false;
    SecretBytes password = view_.PasswordText();
    if (!(password == view_.RepeatText())) {
        platform_.MsgBox(texts::kPasswordsDiffer, kStyleError, texts::kPasswordsDifferTitle);
        return true;
    }
    // An encryption with an empty password would protect nothing.
    if (view_.EncryptTicked() && password.empty()) {
        platform_.MsgBox(texts::kEncryptionNeedsPassword, kStyleWarning,
                         texts::kEncryptionNeedsPasswordTitle);
        return true;
    }
    return false;
}

HideOptions HideCommand::OptionsFromControls() const {
    HideOptions options;
    if (!view_.PasswordTicked()) return options;
    options.protection = Protection::Password;
    options.formatVersion = view_.EncryptTicked() ? 2 : 1;
    // Version 1 keeps 8 bytes of it; a longer text would make the length point past the field.
    options.password = options.formatVersion == 1
                           ? view_.PasswordText().First(password_rule::kVersion1Longest)
                           : view_.PasswordText();
    return options;
}

void HideCommand::cmdadd_Click() {
    if (Refused()) return;
    HideOptions options = OptionsFromControls();
    // The password now lives only in guarded memory, not in the window.
    if (options.protection == Protection::Password) view_.ClearPasswordBoxes();
    platform_.MsgBox(texts::kHideStart, kStyleInformation, texts::kHideStartTitle);
    WindowProgress progress(view_);
    PassContext ctx{job_, platform_.Files(), progress, &platform_};
    Outcome outcome;
    {
        BusyScope busy(view_);
        outcome = EmbedMsg(ctx, options);
    }
    if (!outcome.completed()) {
        ShowOutcome(platform_, CarrierCommand::Hide, outcome);
        return;
    }
    platform_.MsgBox(texts::kEmbedDone, kStyleInformation, texts::kEmbedDoneTitle);
}

}  // namespace velquist
