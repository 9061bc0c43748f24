// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutcomeReport.h"

#include <cstring>
#include <string>

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "cli/PictureKindWords.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

ExitCode CodeFor(const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::Completed: return ExitCode::Ok;
        case OutcomeKind::Damaged:
        case OutcomeKind::Not24Bit:
        case OutcomeKind::NotUncompressed:
        case OutcomeKind::UnsupportedPicture: return ExitCode::BadPicture;
        case OutcomeKind::NeedsFormat3: return ExitCode::Usage;
        case OutcomeKind::CarrierGone:
        case OutcomeKind::CarrierReplaced: return ExitCode::BadPicture;
        case OutcomeKind::CarrierFailure:
            // A picture that is no file at all is unusable; a failing read or write is an
            // input/output failure.
            return o.cause == FileCause::NotRegular ? ExitCode::BadPicture : ExitCode::IoFailure;
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure:
        case OutcomeKind::NoMemory: return ExitCode::IoFailure;
        default: return ExitCode::Refused;
    }
}

const char* FailureText(CarrierCommand command, OutcomeKind kind) {
    if (kind == OutcomeKind::MessageFailure) return kMessageUnreadable;
    switch (command) {
        case CarrierCommand::Inspect: return kCannotOpenPicture;
        case CarrierCommand::Extract: return kExtractFailed;
        case CarrierCommand::Hide:
        case CarrierCommand::Wipe: break;
    }
    return kEmbedFailed;
}

const char* TextFor(CarrierCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::TooLarge: return kTooLarge;
        case OutcomeKind::Damaged: return kDamaged;
        case OutcomeKind::Not24Bit: return kNot24Bit;
        case OutcomeKind::NotUncompressed: return kNotUncompressed;
        case OutcomeKind::UnsupportedPicture: return WordsOf(o.picture).unsupported;
        case OutcomeKind::NeedsFormat3: return WordsOf(o.picture).needsFormat3;
        case OutcomeKind::NoData:
            return command == CarrierCommand::Extract ? kNothingToExtract : kNoHidden;
        case OutcomeKind::HoldsData: return kHideHasData;
        case OutcomeKind::OtherVersion: return kOtherVersion;
        case OutcomeKind::WrongPassword: return kWrongPassword;
        case OutcomeKind::Busy: return kCarrierBusy;
        case OutcomeKind::OutputIsCarrier: return kOutputIsCarrier;
        case OutcomeKind::NoMemory: return kNoMemory;
        case OutcomeKind::CarrierGone:
            return command == CarrierCommand::Inspect ? kCannotOpenPicture : kCarrierGone;
        case OutcomeKind::CarrierReplaced: return kCarrierGone;
        case OutcomeKind::CarrierFailure:
            // A folder or a device where the picture should be: it cannot be opened at all.
            if (o.cause == FileCause::NotRegular) return kCannotOpenPicture;
            return FailureText(command, o.kind);
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure: return FailureText(command, o.kind);
        case OutcomeKind::Completed: break;
    }
    return "";
}

const char* CauseText(FileCause cause) {
    switch (cause) {
        case FileCause::NoSpace: return kCauseNoSpace;
        case FileCause::TooLarge: return kCauseTooLarge;
        case FileCause::FolderMissing: return kCauseFolderMissing;
        case FileCause::PermissionDenied: return kCausePermission;
        case FileCause::NotFound: return kCauseNotFound;
        case FileCause::NotRegular: return kCauseNotRegular;
        case FileCause::Changed: return kCauseChanged;
        case FileCause::Busy: return kCauseBusy;
        case FileCause::Other: break;
    }
    return nullptr;
}

// "FILE: cause", as the window's second line says it.
std::string CauseLine(const Outcome& o) {
    const char* cause = CauseText(o.cause);
    std::string text = cause ? Tr(cause) : o.error != 0 ? std::strerror(o.error) : "";
    return text.empty() ? o.path : o.path + Tr(kCauseSeparator) + text;
}

}  // namespace

ExitCode Report(CliSession& session, CarrierCommand command, const Outcome& outcome) {
    if (outcome.completed()) return ExitCode::Ok;
    session.Tell(TextFor(command, outcome));
    if (outcome.fileFailure() && !outcome.path.empty()) session.console.Say(CauseLine(outcome));
    return CodeFor(outcome);
}

}  // namespace velquist::cli
