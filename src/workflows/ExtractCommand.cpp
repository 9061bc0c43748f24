#include "workflows/ExtractCommand.h"

#include "engine/CarrierFormat.h"
#include "engine/CarrierWipe.h"
#include "engine/EngineTexts.h"
#include "engine/ExtractionJob.h"
#include "engine/JobState.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "workflows/BusyScope.h"
#include "workflows/MainView.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

namespace {
constexpr int kCarrier = 1;
}  // namespace

bool ExtractCommand::Refused() {
    if (job_.ImagePath.empty()) {
        platform_.MsgBox(texts::kExtractNoPicture, kStyleError, texts::kExtractNoPictureTitle);
        return true;
    }
    if (job_.HiddenMark == 0) {
        platform_.MsgBox(texts::kNothingToExtract, kStyleError, texts::kNothingToExtractTitle);
        return true;
    }
    return false;
}

bool ExtractCommand::Opened(ExtractionJob& extraction) {
    job_.MsgLen = 0;
    job_.OffBits = 0;
    job_.GroupNo = 0;
    job_.OutFile = job_.OutPath + texts::kOutputStem + job_.MsgExt;
    try {
        extraction.Open(job_.OutFile);
    } catch (const FileError&) {
        platform_.MsgBox(texts::kExtractFailed, kStyleError);
        return false;
    }
    return true;
}

bool ExtractCommand::Checked(ExtractionJob& extraction) {
    const CarrierHeader& header = extraction.header();
    if (header.damaged() || !header.hasHeaderGroup) {
        platform_.MsgBox(texts::kDamaged, kStyleError, texts::kDamagedTitle);
        return false;
    }
    if ((static_cast<std::uint32_t>(job_.MsgLen) & carrier::kVersionMask) !=
        static_cast<std::uint32_t>(job_.VersionWord)) {
        platform_.MsgBox(texts::kOtherVersion, kStyleError, texts::kOtherVersionTitle);
        return false;
    }
    // A stored length whose groups run past the end of the picture cannot be a message.
    if (!header.storedMessageFits() || (header.isProtected() && !header.passwordReadable)) {
        platform_.MsgBox(texts::kDamaged, kStyleError, texts::kDamagedTitle);
        return false;
    }
    // Asked on the carrier's own flag byte, so the password option cannot open or lock it.
    return !header.isProtected() || PasswordAccepted(extraction);
}

bool ExtractCommand::PasswordAccepted(ExtractionJob& extraction) {
    const CarrierHeader& header = extraction.header();
    std::string stored = header.StoredPassword();
    // The length byte is counted down as the stored characters are read.
    job_.PwdLen = 0;
    std::string entered = platform_.InputBox(texts::kPasswordPrompt, texts::kPasswordTitle, true);
    if (entered == stored) return true;
    platform_.MsgBox(texts::kWrongPassword, kStyleError, texts::kWrongPasswordTitle);
    return false;
}

void ExtractCommand::cmdout_Click() {
    if (Refused()) return;
    {
        PassContext ctx{job_, platform_, view_};
        ExtractionJob extraction(ctx);
        if (!Opened(extraction) || !Checked(extraction)) return;
        platform_.MsgBox(texts::kExtractStart + job_.OutFile, kStyleInformation,
                         texts::kExtractStartTitle);
        BusyScope busy(view_);
        if (extraction.Run() == PassResult::Failed) return;
    }
    platform_.MsgBox(texts::kExtractDone, kStyleInformation, texts::kExtractDoneTitle);
    OfferOpenAndDelete();
    if (job_.ClearBmp != 0) Wipe();
}

void ExtractCommand::OfferOpenAndDelete() {
    if (platform_.MsgBox(texts::kReadNow, kStyleQuestion, texts::kQuestionTitle) != kAnswerYes)
        return;
    platform_.ShellOpen(job_.OutFile);
    if (platform_.MsgBox(texts::kDeleteNow, kStyleQuestion, texts::kQuestionTitle) != kAnswerYes)
        return;
    if (platform_.DeleteFile(job_.OutFile))
        platform_.MsgBox(job_.OutFile + texts::kDeleted, kStyleInformation, texts::kDeletedTitle);
    else
        platform_.MsgBox(job_.OutFile + texts::kDeleteFailed, kStyleError,
                         texts::kDeleteFailedTitle);
}

void ExtractCommand::Wipe() {
    try {
        BusyScope busy(view_);
        WipeCarrier(platform_.Files(), kCarrier, job_.ImagePath);
    } catch (const FileError&) {
        platform_.MsgBox(texts::kEmbedFailed, kStyleError);
        return;
    }
    platform_.MsgBox(texts::kWiped, kStyleInformation, texts::kWipedTitle);
    view_.SetCaption(Caption::Labtmp, texts::kWipedStatus);
    view_.SetCaption(Caption::LabCue2, texts::kNoMessageChosen);
    job_.HiddenMark = 0;
    // The caption now says no file is chosen; a later hide must not reuse the old one.
    job_.MsgPath.clear();
}

}  // namespace velquist
