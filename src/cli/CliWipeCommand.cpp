// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliWipeCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/OutcomeReport.h"
#include "cli/StealthPassphrase.h"
#include "engine/CarrierWipe.h"
#include "engine/StealthJob.h"

namespace velquist::cli {

ExitCode RunWipe(const CliRequest& r, CliSession& s) {
    // Opened once, for writing and under its lock, from the check to the last byte wiped.
    Outcome outcome = WipeHiddenData(s.files, r.picture);
    // No marker word: with a passphrase, the version-3 message it opens goes.
    if (outcome.kind == OutcomeKind::NoData && r.password) {
        SecretBytes passphrase;
        if (ExitCode code = AskPassphrase(s, passphrase); code != ExitCode::Ok) return code;
        s.job.ImagePath = r.picture;
        outcome = WipeStealthData(s.ctx, passphrase);
    }
    if (!outcome.completed()) return Report(s, CarrierCommand::Wipe, outcome);
    s.Tell(cli_texts::kWiped);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
