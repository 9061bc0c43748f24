#include "cli/OutcomeReport.h"

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "engine/EngineTexts.h"
#include "workflows/OutcomeBoxes.h"
#include "workflows/WorkflowTexts.h"

namespace velquist::cli {

namespace {

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
        case OutcomeKind::TooLarge: return texts::kTooLarge;
        case OutcomeKind::Damaged: return texts::kDamaged;
        case OutcomeKind::Not24Bit: return texts::kNot24Bit;
        case OutcomeKind::NotUncompressed: return texts::kNotUncompressed;
        case OutcomeKind::NoData:
            return command == CliCommand::Extract ? texts::kNothingToExtract : texts::kNoHidden;
        case OutcomeKind::HoldsData: return texts::kHideHasData;
        case OutcomeKind::OtherVersion: return texts::kOtherVersion;
        case OutcomeKind::WrongPassword: return texts::kWrongPassword;
        case OutcomeKind::Busy: return texts::kCarrierBusy;
        case OutcomeKind::OutputIsCarrier: return texts::kOutputIsCarrier;
        case OutcomeKind::Declined: return cli_texts::kOutputExists;
        case OutcomeKind::CarrierFailure:
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure:
            if (command == CliCommand::Inspect) return texts::kCannotOpenPicture;
            return command == CliCommand::Extract ? texts::kExtractFailed : texts::kEmbedFailed;
        case OutcomeKind::Completed: break;
    }
    return "";
}

bool NamesACause(const Outcome& o) {
    return o.kind == OutcomeKind::CarrierFailure || o.kind == OutcomeKind::MessageFailure ||
           o.kind == OutcomeKind::OutputFailure || o.kind == OutcomeKind::Declined;
}

}  // namespace

ExitCode Report(CliSession& session, CliCommand command, const Outcome& outcome) {
    if (outcome.completed()) return ExitCode::Ok;
    session.console.Say(FirstLine(command, outcome));
    if (NamesACause(outcome)) session.console.Say(CauseLine(outcome));
    return CodeFor(command, outcome);
}

}  // namespace velquist::cli
