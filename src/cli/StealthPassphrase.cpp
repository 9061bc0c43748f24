// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StealthPassphrase.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "engine/format/PasswordRule.h"

namespace velquist::cli {

PassphraseSource PassphraseFor(const CliRequest& request, CliSession& session, ExitCode& refused) {
    using namespace cli_texts;
    return [&request, &session, &refused]() -> std::optional<SecretBytes> {
        if (!request.password) return std::nullopt;
        if (!session.passwords.CanAsk()) {
            refused = session.Fail(ExitCode::Usage, kNoTerminal);
            return std::nullopt;
        }
        SecretBytes passphrase = session.passwords.Ask(Tr(kPasswordPrompt));
        if (passphrase.empty()) refused = session.Fail(ExitCode::Usage, kPasswordEmpty);
        else if (!password_rule::FitsVersion3(passphrase.text()))
            refused = session.Fail(ExitCode::Usage, kPassphraseLength);
        if (refused != ExitCode::Ok) return std::nullopt;
        return passphrase;
    };
}

}  // namespace velquist::cli
