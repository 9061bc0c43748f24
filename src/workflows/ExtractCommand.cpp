// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/ExtractCommand.h"

#include <optional>

#include "engine/OpenedExtraction.h"
#include "engine/JobState.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "workflows/BusyScope.h"
#include "workflows/MainView.h"
#include "workflows/OutcomeBoxes.h"
#include "workflows/WindowProgress.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

bool ExtractCommand::Refused() {
    if (job_.ImagePath.empty()) {
        platform_.MsgBox(texts::kExtractNoPicture, kStyleError, texts::kExtractNoPictureTitle);
        return true;
    }
    if (!job_.HiddenMark && !StealthAsked()) {
        platform_.MsgBox(texts::kNothingToExtract, kStyleError, texts::kNothingToExtractTitle);
        return true;
    }
    return false;
}

bool ExtractCommand::StealthAsked() const {
    return view_.PasswordTicked() && !view_.PasswordText().empty();
}

bool ExtractCommand::Failed(const Outcome& outcome) {
    ShowOutcome(platform_, CarrierCommand::Extract, outcome);
    return !outcome.completed();
}

// Without a marker word the password first: nothing else says whether there is a message, and
// under which name.
std::unique_ptr<Extraction> ExtractCommand::Opened(PassContext& ctx) {
    const bool stealth = !job_.HiddenMark;
    std::optional<SecretBytes> passphrase;
    if (stealth) {
        passphrase = view_.PasswordText();
        view_.ClearPasswordBoxes();
    }
    std::string status = view_.CaptionOf(Caption::Labtmp);
    std::string percent = view_.CaptionOf(Caption::labfinish);
    OpenedExtraction opened;
    {
        std::optional<BusyScope> busy;
        if (stealth) busy.emplace(view_);
        opened = OpenForExtraction(ctx, {job_.ImagePath, job_.ImageFile},
                                   [&passphrase] { return passphrase; });
    }
    if (!opened.outcome.completed()) {
        // Nothing taken out: the labels say again what they said before.
        if (stealth) {
            view_.SetCaption(Caption::Labtmp, status);
            view_.SetCaption(Caption::labfinish, percent);
        }
        Failed(opened.outcome);
        return nullptr;
    }
    // Named after what was read under the lock, which is what the extraction acts on.
    job_.OutFile = opened.extraction->OutputFile(job_.OutPath);
    return std::move(opened.extraction);
}

bool ExtractCommand::OutputAccepted(Extraction& extraction) {
    OutputTarget target = extraction.CheckOutput(job_.OutFile);
    if (Failed(target.verdict)) return false;
    return !target.replaces || platform_.MsgBox(job_.OutFile + texts::kReplaceOutput,
                                                kStyleQuestion, texts::kQuestionTitle) == kAnswerYes;
}

bool ExtractCommand::PasswordAccepted(Extraction& extraction) {
    // Asked on the carrier's own marker word, so the password option cannot open or lock it.
    if (!extraction.NeedsPassword()) return true;
    std::string typed = platform_.InputBox(texts::kPasswordPrompt, texts::kPasswordTitle, true);
    if (extraction.AcceptPassword(SecretBytes::TakeFrom(typed))) return true;
    return !Failed(Outcome::Of(OutcomeKind::WrongPassword, job_.ImagePath));
}

bool ExtractCommand::Extracted(Extraction& extraction) {
    platform_.MsgBox(texts::kExtractStart + job_.OutFile, kStyleInformation,
                     texts::kExtractStartTitle);
    std::string status = view_.CaptionOf(Caption::Labtmp);
    std::string percent = view_.CaptionOf(Caption::labfinish);
    Outcome outcome;
    {
        BusyScope busy(view_);
        outcome = extraction.Run(job_.OutFile);
    }
    // A refused password took nothing out: the labels go back to what they said before.
    if (outcome.kind == OutcomeKind::WrongPassword) {
        view_.SetCaption(Caption::Labtmp, status);
        view_.SetCaption(Caption::labfinish, percent);
    }
    return !Failed(outcome);
}

void ExtractCommand::cmdout_Click() {
    if (Refused()) return;
    WindowProgress progress(view_);
    PassContext ctx{platform_.Files(), progress, &platform_};
    std::unique_ptr<Extraction> extraction = Opened(ctx);
    if (!extraction || !OutputAccepted(*extraction) || !PasswordAccepted(*extraction) ||
        !Extracted(*extraction))
        return;
    FollowUp(*extraction);
}

void ExtractCommand::FollowUp(Extraction& extraction) {
    platform_.MsgBox(texts::kExtractDone, kStyleInformation, texts::kExtractDoneTitle);
    OfferOpenAndDelete();
    if (job_.ClearBmp) Wipe(extraction);
}

void ExtractCommand::OfferOpenAndDelete() {
    if (platform_.MsgBox(texts::kReadNow, kStyleQuestion, texts::kQuestionTitle) != kAnswerYes)
        return;
    if (!platform_.ShellOpen(job_.OutFile))
        platform_.MsgBox(texts::kCannotOpenOutput + job_.OutFile, kStyleWarning,
                         texts::kCannotOpenOutputTitle);
    // Return keeps the only copy of the message.
    if (platform_.MsgBox(texts::kDeleteNow, kStyleQuestion, texts::kQuestionTitle, kAnswerNo) != kAnswerYes)
        return;
    Removal removal = platform_.MoveToTrash(job_.OutFile);
    if (removal == Removal::NoTrash) {
        if (platform_.MsgBox(job_.OutFile + texts::kDeleteForGood, kStyleQuestion, texts::kQuestionTitle,
                             kAnswerNo) != kAnswerYes)
            return;
        removal = platform_.DeleteFile(job_.OutFile);
    }
    if (removal == Removal::Trashed)
        platform_.MsgBox(job_.OutFile + texts::kTrashed, kStyleInformation, texts::kDeletedTitle);
    else if (removal == Removal::Deleted)
        platform_.MsgBox(job_.OutFile + texts::kDeleted, kStyleInformation, texts::kDeletedTitle);
    else
        platform_.MsgBox(job_.OutFile + texts::kDeleteFailed, kStyleError, texts::kDeleteFailedTitle);
}

void ExtractCommand::Wipe(Extraction& extraction) {
    Outcome outcome;
    {
        BusyScope busy(view_);
        outcome = extraction.Wipe();
    }
    if (!outcome.completed()) {
        ShowOutcome(platform_, CarrierCommand::Wipe, outcome);
        return;
    }
    // A picture written anew is another file now, and still the one the user chose.
    if (std::optional<PathFacts> rewritten = extraction.Rewritten()) job_.ImageFile = *rewritten;
    platform_.MsgBox(texts::kWiped, kStyleInformation, texts::kWipedTitle);
    view_.SetCaption(Caption::Labtmp, texts::kWipedStatus);
    view_.SetCaption(Caption::LabCue2, texts::kNoMessageChosen);
    job_.HiddenMark = false;
    // The caption now says no file is chosen; a later hide must not reuse the old one.
    job_.MsgPath.clear();
}

}  // namespace velquist
