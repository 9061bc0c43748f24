// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StealthPassphrase.h"

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "engine/format/PasswordRule.h"

namespace velquist::cli {

ExitCode AskPassphrase(CliSession& session, SecretBytes& passphrase) {
    using namespace cli_texts;
    if (!session.passwords.CanAsk()) return session.Fail(ExitCode::Usage, kNoTerminal);
    passphrase = session.passwords.Ask(Tr(kPasswordPrompt));
    if (passphrase.empty()) return session.Fail(ExitCode::Usage, kPasswordEmpty);
    if (!password_rule::FitsVersion3(passphrase.text()))
        return session.Fail(ExitCode::Usage, kPassphraseLength);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
