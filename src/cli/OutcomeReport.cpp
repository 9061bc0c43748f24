// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutcomeReport.h"

#include <cstring>
#include <string>

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

ExitCode CodeFor(CarrierCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::Completed: return ExitCode::Ok;
        case OutcomeKind::Damaged:
        case OutcomeKind::Not24Bit:
        case OutcomeKind::NotUncompressed: return ExitCode::BadPicture;
        case OutcomeKind::CarrierFailure:
            // A picture that is missing or no file at all is unusable; a failing read or
            // write is an input/output failure.
            if (command == CarrierCommand::Inspect &&
                (o.cause == FileCause::NotFound || o.cause == FileCause::NotRegular))
                return ExitCode::BadPicture;
            return ExitCode::IoFailure;
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure:
        case OutcomeKind::NoMemory: return ExitCode::IoFailure;
        default: return ExitCode::Refused;
    }
}

const char* FailureText(CarrierCommand command) {
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
        case OutcomeKind::NoData:
            return command == CarrierCommand::Extract ? kNothingToExtract : kNoHidden;
        case OutcomeKind::HoldsData: return kHideHasData;
        case OutcomeKind::OtherVersion: return kOtherVersion;
        case OutcomeKind::WrongPassword: return kWrongPassword;
        case OutcomeKind::Busy: return kCarrierBusy;
        case OutcomeKind::OutputIsCarrier: return kOutputIsCarrier;
        case OutcomeKind::Declined: return kOutputExists;
        case OutcomeKind::NoMemory: return kNoMemory;
        case OutcomeKind::CarrierFailure:
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure: return FailureText(command);
        case OutcomeKind::Completed: break;
    }
    return "";
}

const char* CauseText(FileCause cause) {
    switch (cause) {
        case FileCause::NoSpace: return kCauseNoSpace;
        case FileCause::PermissionDenied: return kCausePermission;
        case FileCause::NotFound: return kCauseNotFound;
        case FileCause::NotRegular: return kCauseNotRegular;
        case FileCause::Changed: return kCauseChanged;
        case FileCause::Busy: return kCauseBusy;
        case FileCause::Other: break;
    }
    return nullptr;
}

bool IsFileFailure(const Outcome& o) {
    return o.kind == OutcomeKind::CarrierFailure || o.kind == OutcomeKind::MessageFailure ||
           o.kind == OutcomeKind::OutputFailure;
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
    // Only the command line has nobody to ask whether an existing output may go.
    if (outcome.kind == OutcomeKind::Declined) {
        session.Tell(kOutputExists, outcome.path);
    } else {
        session.Tell(TextFor(command, outcome));
        if (IsFileFailure(outcome) && !outcome.path.empty()) session.console.Say(CauseLine(outcome));
    }
    return CodeFor(command, outcome);
}

}  // namespace velquist::cli
