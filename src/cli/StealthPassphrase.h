// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"
#include "engine/crypto/SecretBytes.h"

namespace velquist::cli {

struct CliSession;

// Asks for the passphrase a version-3 message was hidden with (once: a wrong one finds nothing,
// and nothing is written), refusing one no version-3 picture can have.
ExitCode AskPassphrase(CliSession& session, SecretBytes& passphrase);

}  // namespace velquist::cli
