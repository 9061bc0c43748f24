// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ExitCode.h"
#include "engine/PictureRequest.h"

namespace velquist::cli {

struct CliRequest;
struct CliSession;

// Where extract and wipe get the passphrase a version-3 message was hidden with, asked only
// once the picture shows no marker word, and only when the request gives a password: asked once
// (a wrong one finds nothing, and nothing is written), refusing one no version-3 picture can
// have. A refusal leaves its exit status in `refused` and looks for no message.
PassphraseSource PassphraseFor(const CliRequest& request, CliSession& session, ExitCode& refused);

}  // namespace velquist::cli
