// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/OutcomeBoxes.h"

#include <cstring>
#include <optional>

#include "platform/Platform.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

namespace {

// The window's words for each kind of picture file: the one place it names them.
struct PictureKindTexts {
    const char* unsupported;
    const char* unsupportedTitle;
    const char* needsFormat3;
    const char* needsFormat3Title;
};

const PictureKindTexts& KindTexts(PictureKind kind) {
    // A BMP takes every format, so its needs-format-3 texts are never asked for; what it cannot
    // carry its header tells more precisely (not 24-bit, compressed).
    static const PictureKindTexts kBmp{texts::kNotUncompressed, texts::kNotUncompressedTitle,
                                       texts::kNotUncompressed, texts::kNotUncompressedTitle};
    static const PictureKindTexts kPng{texts::kUnsupportedPng, texts::kUnsupportedPngTitle,
                                       texts::kPngNeedsStealth, texts::kPngNeedsStealthTitle};
    switch (kind) {
        case PictureKind::Bmp: return kBmp;
        case PictureKind::Png: return kPng;
    }
    return kBmp;
}

const char* FailureText(CarrierCommand command, OutcomeKind kind) {
    if (kind == OutcomeKind::MessageFailure) return texts::kMessageUnreadable;
    switch (command) {
        case CarrierCommand::Inspect: return texts::kCannotOpenPicture;
        case CarrierCommand::Extract: return texts::kExtractFailed;
        case CarrierCommand::Hide:
        case CarrierCommand::Wipe: break;
    }
    return texts::kEmbedFailed;
}

std::optional<std::string> TitleFor(CarrierCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::TooLarge: return texts::kTooLargeTitle;
        case OutcomeKind::Damaged: return texts::kDamagedTitle;
        case OutcomeKind::NotUncompressed: return texts::kNotUncompressedTitle;
        case OutcomeKind::UnsupportedPicture: return KindTexts(o.picture).unsupportedTitle;
        case OutcomeKind::NeedsFormat3: return KindTexts(o.picture).needsFormat3Title;
        case OutcomeKind::NoData: return texts::kNothingToExtractTitle;
        case OutcomeKind::HoldsData: return texts::kHideHasDataTitle;
        case OutcomeKind::OtherVersion: return texts::kOtherVersionTitle;
        case OutcomeKind::WrongPassword: return texts::kWrongPasswordTitle;
        case OutcomeKind::Busy: return texts::kCarrierBusyTitle;
        case OutcomeKind::OutputIsCarrier: return texts::kOutputIsCarrierTitle;
        case OutcomeKind::NoMemory: return texts::kNoMemoryTitle;
        case OutcomeKind::CarrierReplaced: return texts::kCarrierChangedTitle;
        case OutcomeKind::CarrierGone:
            return command == CarrierCommand::Inspect ? texts::kCannotOpenPictureTitle
                                                      : texts::kCarrierChangedTitle;
        case OutcomeKind::CarrierFailure:
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure:
            if (command == CarrierCommand::Inspect) return texts::kCannotOpenPictureTitle;
            break;
        default: break;
    }
    // The application title shows.
    return std::nullopt;
}

}  // namespace

const char* OutcomePrompt(CarrierCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::TooLarge: return texts::kTooLarge;
        case OutcomeKind::Damaged: return texts::kDamaged;
        case OutcomeKind::Not24Bit: return texts::kNot24Bit;
        case OutcomeKind::NotUncompressed: return texts::kNotUncompressed;
        case OutcomeKind::UnsupportedPicture: return KindTexts(o.picture).unsupported;
        case OutcomeKind::NeedsFormat3: return KindTexts(o.picture).needsFormat3;
        case OutcomeKind::NoData:
            return command == CarrierCommand::Extract ? texts::kNothingToExtract : texts::kNoHidden;
        case OutcomeKind::HoldsData: return texts::kHideHasData;
        case OutcomeKind::OtherVersion: return texts::kOtherVersion;
        case OutcomeKind::WrongPassword: return texts::kWrongPassword;
        case OutcomeKind::Busy: return texts::kCarrierBusy;
        case OutcomeKind::OutputIsCarrier: return texts::kOutputIsCarrier;
        case OutcomeKind::NoMemory: return texts::kNoMemory;
        case OutcomeKind::CarrierReplaced: return texts::kCarrierReplaced;
        case OutcomeKind::CarrierGone:
            // A picture that was never there is one that cannot be opened.
            return command == CarrierCommand::Inspect ? texts::kCannotOpenPicture : texts::kCarrierGone;
        case OutcomeKind::CarrierFailure:
            // A folder or a device where the picture should be: it cannot be opened at all.
            if (o.cause == FileCause::NotRegular) return texts::kCannotOpenPicture;
            return FailureText(command, o.kind);
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure: return FailureText(command, o.kind);
        case OutcomeKind::Completed: break;
    }
    return "";
}

const char* CauseText(FileCause cause) {
    switch (cause) {
        case FileCause::NoSpace: return texts::kCauseNoSpace;
        case FileCause::TooLarge: return texts::kCauseTooLarge;
        case FileCause::FolderMissing: return texts::kCauseFolderMissing;
        case FileCause::PermissionDenied: return texts::kCausePermission;
        case FileCause::NotFound: return texts::kCauseNotFound;
        case FileCause::NotRegular: return texts::kCauseNotRegular;
        case FileCause::Changed: return texts::kCauseChanged;
        case FileCause::Busy: return texts::kCauseBusy;
        case FileCause::Other: break;
    }
    return nullptr;
}

std::string CauseLine(const Outcome& outcome) {
    if (outcome.path.empty()) return "";
    const char* cause = CauseText(outcome.cause);
    if (!cause && outcome.error != 0) cause = std::strerror(outcome.error);
    if (!cause) return outcome.path;
    return outcome.path + texts::kCauseSeparator + cause;
}

void ShowOutcome(Platform& platform, CarrierCommand command, const Outcome& outcome) {
    if (outcome.completed()) return;
    std::string prompt = OutcomePrompt(command, outcome);
    std::string cause = outcome.fileFailure() ? CauseLine(outcome) : "";
    if (!cause.empty()) prompt += "\n" + cause;
    // Only a choice the user can change in the window itself is a warning.
    int style = outcome.kind == OutcomeKind::NeedsFormat3 ? kStyleWarning : kStyleError;
    platform.MsgBox(prompt, style, TitleFor(command, outcome));
}

}  // namespace velquist
