// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/HideCommand.h"

#include <optional>

#include "engine/HideJob.h"
#include "engine/HideOptions.h"
#include "engine/JobState.h"
#include "engine/format/PasswordRule.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "workflows/BusyScope.h"
#include "workflows/ChosenFormat.h"
#include "workflows/MainView.h"
#include "workflows/OutcomeBoxes.h"
#include "workflows/WindowProgress.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

void HideCommand::ChkPassword_Click() {
    view_.SetPasswordBoxesEnabled(view_.PasswordTicked());
    view_.SetStealthEnabled(view_.PasswordTicked() && view_.EncryptTicked());
}

// An encrypted message stores no password, so its password may be long and of any characters.
void HideCommand::ChkEncrypt_Click() {
    view_.SetLongPasswords(view_.EncryptTicked());
    view_.SetStealthEnabled(view_.PasswordTicked() && view_.EncryptTicked());
}

bool HideCommand::Refused() {
    if (job_.ImagePath.empty()) {
        platform_.MsgBox(texts::kHideNoPicture, kStyleError, texts::kHideNoPictureTitle);
        return true;
    }
    if (job_.HiddenMark) {
        platform_.MsgBox(texts::kHideHasData, kStyleError, texts::kHideHasDataTitle);
        return true;
    }
    if (job_.MsgPath.empty()) {
        platform_.MsgBox(texts::kHideNoMessage, kStyleWarning, texts::kHideNoMessageTitle);
        return true;
    }
    if (job_.ImageVersion3Only && ChosenFormat(view_) != 3) {
        ShowOutcome(platform_, CarrierCommand::Hide,
                    Outcome::About(OutcomeKind::NeedsFormat3, job_.ImageKind, job_.ImagePath));
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
    options.formatVersion = ChosenFormat(view_);
    // Version 1 keeps 8 bytes of it; a longer text would make the length point past the field.
    options.password = options.formatVersion == 1
                           ? view_.PasswordText().First(password_rule::kVersion1Longest)
                           : view_.PasswordText();
    return options;
}

bool HideCommand::StealthSizeAccepted(HideJob& job) {
    switch (job.WeighStealth().fit) {
        case StealthWeight::Fit::TooLarge:
            ShowOutcome(platform_, CarrierCommand::Hide,
                        Outcome::Of(OutcomeKind::TooLarge, job_.MsgPath));
            return false;
        case StealthWeight::Fit::Detectable:
            return platform_.MsgBox(texts::kStealthLarge, kStyleQuestion, texts::kQuestionTitle) ==
                   kAnswerYes;
        case StealthWeight::Fit::Safe:
        case StealthWeight::Fit::Unknown: return true;  // the hide tells what is wrong
    }
    return true;
}

void HideCommand::Run(HideJob& job, const HideOptions& options) {
    Outcome outcome;
    {
        BusyScope busy(view_);
        outcome = job.IsOpen() ? Outcome::Of(OutcomeKind::Completed) : job.Open();
        if (outcome.completed()) outcome = job.Run(options);
    }
    if (!outcome.completed()) {
        ShowOutcome(platform_, CarrierCommand::Hide, outcome);
        return;
    }
    if (job.Marked()) job_.HiddenMark = true;
    // A picture written anew is another file now, and still the one the user chose.
    if (std::optional<PathFacts> rewritten = job.Rewritten()) job_.ImageFile = *rewritten;
    platform_.MsgBox(texts::kEmbedDone, kStyleInformation, texts::kEmbedDoneTitle);
}

void HideCommand::cmdadd_Click() {
    if (Refused()) return;
    HideOptions options = OptionsFromControls();
    // The password now lives only in guarded memory, not in the window.
    if (options.protection == Protection::Password) view_.ClearPasswordBoxes();
    WindowProgress progress(view_);
    PassContext ctx{platform_.Files(), progress, &platform_};
    HideJob job(ctx, {{job_.ImagePath, job_.ImageFile}, job_.MsgPath, job_.MsgExt});
    // Version 3 weighs the message against the picture before it starts, the picture already
    // locked so that what was weighed is what gets written.
    if (options.formatVersion == 3) {
        if (Outcome opened = job.Open(); !opened.completed()) {
            ShowOutcome(platform_, CarrierCommand::Hide, opened);
            return;
        }
        if (!StealthSizeAccepted(job)) return;
    }
    platform_.MsgBox(texts::kHideStart, kStyleInformation, texts::kHideStartTitle);
    Run(job, options);
}

}  // namespace velquist
