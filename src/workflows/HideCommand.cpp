// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/HideCommand.h"

#include "engine/EmbedPass.h"
#include "engine/EngineTexts.h"
#include "engine/JobState.h"
#include "platform/Platform.h"
#include "workflows/BusyScope.h"
#include "workflows/MainView.h"
#include "workflows/OutcomeBoxes.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

namespace {
constexpr std::uint8_t kProtected = 0x18;
}  // namespace

void HideCommand::ChkPassword_Click() {
    bool ticked = view_.PasswordTicked();
    view_.SetPasswordBoxesEnabled(ticked);
    job_.PwdFlag = ticked ? kProtected : 0;
}

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
    if (view_.PasswordTicked() && view_.PasswordText() != view_.RepeatText()) {
        platform_.MsgBox(texts::kPasswordsDiffer, kStyleError, texts::kPasswordsDifferTitle);
        return true;
    }
    return false;
}

void HideCommand::TakeOverPassword() {
    if (view_.PasswordTicked()) {
        // The field holds 8 bytes; a longer text would make the length point past it.
        std::string typed = view_.PasswordText().substr(0, 8);
        job_.Password = typed;
        job_.PwdLen = static_cast<std::uint8_t>(typed.size());
        job_.PwdFlag = kProtected;
    } else {
        // A carrier marked unprotected must never carry a password typed earlier in clear.
        job_.Password = kPasswordFiller;
        job_.PwdLen = 0;
    }
}

void HideCommand::cmdadd_Click() {
    if (Refused()) return;
    TakeOverPassword();
    platform_.MsgBox(texts::kHideStart, kStyleInformation, texts::kHideStartTitle);
    PassContext ctx{job_, platform_, view_};
    Outcome outcome;
    {
        BusyScope busy(view_);
        outcome = EmbedMsg(ctx);
    }
    if (!outcome.completed()) {
        ShowOutcome(platform_, CarrierCommand::Hide, outcome);
        return;
    }
    platform_.MsgBox(texts::kEmbedDone, kStyleInformation, texts::kEmbedDoneTitle);
}

}  // namespace velquist
