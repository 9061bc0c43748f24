// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutcomeReport.h"

#include <cstring>

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "workflows/WorkflowTexts.h"

namespace velquist::cli {

namespace {

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
        case OutcomeKind::OutputFailure: return ExitCode::IoFailure;
        default: return ExitCode::Refused;
    }
}

// "FILE: cause", as the window's second line says it.
std::string ShownCauseLine(const Outcome& o) {
    const char* cause = CauseText(o.cause);
    std::string text = cause ? Shown(cause) : o.error != 0 ? std::strerror(o.error) : "";
    return text.empty() ? o.path : o.path + Shown(texts::kCauseSeparator) + text;
}

}  // namespace

ExitCode Report(CliSession& session, CarrierCommand command, const Outcome& outcome) {
    if (outcome.completed()) return ExitCode::Ok;
    // Only the command line has nobody to ask whether an existing output may go.
    if (outcome.kind == OutcomeKind::Declined) {
        session.Tell(cli_texts::kOutputExists, outcome.path);
    } else {
        session.Tell(OutcomePrompt(command, outcome));
        if (IsFileFailure(outcome) && !outcome.path.empty()) session.console.Say(ShownCauseLine(outcome));
    }
    return CodeFor(command, outcome);
}

}  // namespace velquist::cli
