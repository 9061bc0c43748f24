// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliWipeCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/OutcomeReport.h"
#include "engine/CarrierWipe.h"

namespace velquist::cli {

ExitCode RunWipe(const CliRequest& r, CliSession& s) {
    // Opened once, for writing and under its lock, from the check to the last byte wiped.
    Outcome outcome = WipeHiddenData(s.files, r.picture);
    if (!outcome.completed()) return Report(s, CarrierCommand::Wipe, outcome);
    s.Tell(cli_texts::kWiped);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
