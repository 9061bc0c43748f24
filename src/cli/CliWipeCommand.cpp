// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliWipeCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/OutcomeReport.h"
#include "cli/StealthPassphrase.h"
#include "engine/PictureWipe.h"

namespace velquist::cli {

ExitCode RunWipe(const CliRequest& r, CliSession& s) {
    // Opened once, for writing and under its lock, from the check to the last byte wiped; no
    // marker word, and with a passphrase the version-3 message it opens goes.
    ExitCode refused = ExitCode::Ok;
    Outcome outcome = WipePicture(s.ctx, {r.picture, {}}, PassphraseFor(r, s, refused));
    if (refused != ExitCode::Ok) return refused;
    if (!outcome.completed()) return Report(s, CarrierCommand::Wipe, outcome);
    s.Tell(cli_texts::kWiped);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
