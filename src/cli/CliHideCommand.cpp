// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliHideCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "cli/OutcomeReport.h"
#include "engine/HideJob.h"
#include "engine/HideOptions.h"
#include "engine/format/PasswordRule.h"
#include "engine/format/StoredNames.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

// What the chosen format can take, or why not.
const char* RefusalOf(const SecretBytes& password, int format) {
    if (password.empty()) return kPasswordEmpty;
    if (format == 1 && !password_rule::FitsVersion1(password.text())) return kPasswordTooLong;
    if (format == 2 && !password_rule::FitsVersion2(password.text())) return kEncryptedPasswordLength;
    if (format == 3 && !password_rule::FitsVersion3(password.text())) return kPassphraseLength;
    return nullptr;
}

ExitCode TakePassword(const CliRequest& r, CliSession& s, HideOptions& options) {
    if (!s.passwords.CanAsk()) return s.Fail(ExitCode::Usage, kNoTerminalForHide);
    SecretBytes password = s.passwords.Ask(Tr(kPasswordFirst));
    if (const char* refusal = RefusalOf(password, r.format)) return s.Fail(ExitCode::Usage, refusal);
    // Standard input is a script's: it gives the password once and has no typos to catch.
    if (!r.passwordStdin && !(s.passwords.Ask(Tr(kPasswordRepeat)) == password))
        return s.Fail(ExitCode::Refused, kPasswordsDiffer);
    options.protection = Protection::Password;
    options.formatVersion = r.format;
    options.password = std::move(password);
    return ExitCode::Ok;
}

// Above 0.1 bits per sample detectors start to tell the picture from a clean one: the script
// is warned, and the hide still goes on where the message fits.
void WarnAboveSafeSize(CliSession& s, HideJob& job) {
    StealthWeight weight = job.WeighStealth();
    if (weight.fit == StealthWeight::Fit::Detectable)
        s.Tell(kStealthLarge, std::to_string(weight.safeBytes));
}

}  // namespace

ExitCode RunHide(const CliRequest& r, CliSession& s) {
    const std::optional<std::string> extension = stored_names::StorableExtension(r.message);
    // The picture is opened once, under its lock, from the first check to the last write.
    HideJob job(s.ctx, {{r.picture, {}}, r.message,
                        extension.value_or(stored_names::kFallbackExtension)});
    if (Outcome opened = job.Open(); !opened.completed())
        return Report(s, CarrierCommand::Hide, opened);
    // Asked before the password: a picture that takes version 3 only refuses any other at once.
    if (Outcome takes = job.TakesFormat(r.password ? r.format : 1); !takes.completed())
        return Report(s, CarrierCommand::Hide, takes);
    // The window stops to tell; a script is only warned, since the file still gets hidden.
    if (!extension) s.Tell(kBadExtension);
    HideOptions options;
    if (r.password) {
        if (ExitCode code = TakePassword(r, s, options); code != ExitCode::Ok) return code;
        if (r.format == 1) s.Tell(kVersion1Warning);
        if (r.format == 3) WarnAboveSafeSize(s, job);
    }
    Outcome outcome = job.Run(options);
    if (!outcome.completed()) return Report(s, CarrierCommand::Hide, outcome);
    s.Tell(kEmbedDone);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
