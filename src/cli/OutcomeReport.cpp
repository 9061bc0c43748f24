// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutcomeReport.h"

#include <cstring>

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

ExitCode CodeFor(CliCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::Completed: return ExitCode::Ok;
        case OutcomeKind::Damaged:
        case OutcomeKind::Not24Bit:
        case OutcomeKind::NotUncompressed: return ExitCode::BadPicture;
        case OutcomeKind::CarrierFailure:
            // A picture that is missing or no file at all is unusable; a failing read or
            // write is an input/output failure.
            if (command == CliCommand::Inspect &&
                (o.cause == FileCause::NotFound || o.cause == FileCause::NotRegular))
                return ExitCode::BadPicture;
            return ExitCode::IoFailure;
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure: return ExitCode::IoFailure;
        default: return ExitCode::Refused;
    }
}

const char* FirstLine(CliCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::TooLarge: return kTooLarge;
        case OutcomeKind::Damaged: return kDamaged;
        case OutcomeKind::Not24Bit: return kNot24Bit;
        case OutcomeKind::NotUncompressed: return kNotUncompressed;
        case OutcomeKind::NoData: return command == CliCommand::Extract ? kNothingToExtract : kNoHidden;
        case OutcomeKind::HoldsData: return kHideHasData;
        case OutcomeKind::OtherVersion: return kOtherVersion;
        case OutcomeKind::WrongPassword: return kWrongPassword;
        case OutcomeKind::Busy: return kCarrierBusy;
        case OutcomeKind::OutputIsCarrier: return kOutputIsCarrier;
        case OutcomeKind::Declined: return kOutputExists;
        case OutcomeKind::CarrierFailure:
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure:
            if (command == CliCommand::Inspect) return kCannotOpenPicture;
            return command == CliCommand::Extract ? kExtractFailed : kEmbedFailed;
        case OutcomeKind::Completed: break;
    }
    return "";
}

const char* CauseText(const Outcome& o) {
    switch (o.cause) {
        case FileCause::NoSpace: return Tr(kCauseNoSpace);
        case FileCause::PermissionDenied: return Tr(kCausePermission);
        case FileCause::NotFound: return Tr(kCauseNotFound);
        case FileCause::NotRegular: return Tr(kCauseNotRegular);
        case FileCause::Changed: return Tr(kCauseChanged);
        case FileCause::Busy: return Tr(kCauseBusy);
        case FileCause::Other: break;
    }
    return o.error != 0 ? std::strerror(o.error) : "";
}

// "FILE: cause", as the window's second line says it.
std::string CauseLine(const Outcome& o) {
    std::string cause = CauseText(o);
    return cause.empty() ? o.path : o.path + Tr(kCauseSeparator) + cause;
}

bool IsFailure(const Outcome& o) {
    return o.kind == OutcomeKind::CarrierFailure || o.kind == OutcomeKind::MessageFailure ||
           o.kind == OutcomeKind::OutputFailure;
}

}  // namespace

ExitCode Report(CliSession& session, CliCommand command, const Outcome& outcome) {
    if (outcome.completed()) return ExitCode::Ok;
    if (outcome.kind == OutcomeKind::Declined) {
        session.Tell(kOutputExists, outcome.path);
    } else {
        session.Tell(FirstLine(command, outcome));
        if (IsFailure(outcome) && !outcome.path.empty()) session.console.Say(CauseLine(outcome));
    }
    return CodeFor(command, outcome);
}

}  // namespace velquist::cli
