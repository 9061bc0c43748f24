// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/OutcomeBoxes.h"

#include <cstring>
#include <optional>

#include "engine/EngineTexts.h"
#include "platform/Platform.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

namespace {

struct Box {
    std::string prompt;
    std::optional<std::string> title;
};

const char* CauseText(const Outcome& o) {
    switch (o.cause) {
        case FileCause::NoSpace: return texts::kCauseNoSpace;
        case FileCause::PermissionDenied: return texts::kCausePermission;
        case FileCause::NotFound: return texts::kCauseNotFound;
        case FileCause::NotRegular: return texts::kCauseNotRegular;
        case FileCause::Changed: return texts::kCauseChanged;
        case FileCause::Busy: return texts::kCauseBusy;
        case FileCause::Other: break;
    }
    return o.error != 0 ? std::strerror(o.error) : "";
}

// The fixed text of a failed file operation under each command.
Box FailureBox(WindowCommand command, const Outcome& o) {
    std::string first;
    std::optional<std::string> title;
    switch (command) {
        case WindowCommand::Inspect:
            first = texts::kCannotOpenPicture;
            title = texts::kCannotOpenPictureTitle;
            break;
        case WindowCommand::Extract: first = texts::kExtractFailed; break;
        case WindowCommand::Hide:
        case WindowCommand::Wipe: first = texts::kEmbedFailed; break;
    }
    std::string cause = CauseLine(o);
    return Box{cause.empty() ? first : first + "\n" + cause, title};
}

Box BoxFor(WindowCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::TooLarge: return {texts::kTooLarge, texts::kTooLargeTitle};
        case OutcomeKind::Damaged: return {texts::kDamaged, texts::kDamagedTitle};
        case OutcomeKind::Not24Bit: return {texts::kNot24Bit, std::nullopt};
        case OutcomeKind::NotUncompressed: return {texts::kNotUncompressed, texts::kNotUncompressedTitle};
        case OutcomeKind::NoData: return {texts::kNothingToExtract, texts::kNothingToExtractTitle};
        case OutcomeKind::HoldsData: return {texts::kHideHasData, texts::kHideHasDataTitle};
        case OutcomeKind::OtherVersion: return {texts::kOtherVersion, texts::kOtherVersionTitle};
        case OutcomeKind::WrongPassword: return {texts::kWrongPassword, texts::kWrongPasswordTitle};
        case OutcomeKind::Busy: return {texts::kCarrierBusy, texts::kCarrierBusyTitle};
        case OutcomeKind::OutputIsCarrier: return {texts::kOutputIsCarrier, texts::kOutputIsCarrierTitle};
        case OutcomeKind::CarrierFailure:
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure: return FailureBox(command, o);
        case OutcomeKind::Completed:
        case OutcomeKind::Declined: break;
    }
    return {};
}

}  // namespace

std::string CauseLine(const Outcome& outcome) {
    if (outcome.path.empty()) return "";
    std::string cause = CauseText(outcome);
    if (cause.empty()) return outcome.path;
    return outcome.path + texts::kCauseSeparator + cause;
}

void ShowOutcome(Platform& platform, WindowCommand command, const Outcome& outcome) {
    if (outcome.kind == OutcomeKind::Completed || outcome.kind == OutcomeKind::Declined) return;
    Box box = BoxFor(command, outcome);
    platform.MsgBox(box.prompt, kStyleError, box.title);
}

}  // namespace velquist
