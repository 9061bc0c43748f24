// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliExtractCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "cli/OutcomeReport.h"
#include "cli/StealthPassphrase.h"
#include "engine/OpenedExtraction.h"
#include "engine/format/PasswordRule.h"
#include "platform/FolderPath.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

// An existing output is replaced with --force or when the user says so on the terminal; a
// script without either is refused rather than having its file replaced. Whether it was kept
// by the user's own "no" or for want of a terminal decides what the message suggests.
ExitCode CheckOutput(const CliRequest& r, CliSession& s, Extraction& job,
                     const std::string& outFile) {
    OutputTarget target = job.CheckOutput(outFile);
    if (!target.verdict.completed()) return Report(s, CarrierCommand::Extract, target.verdict);
    if (!target.replaces || r.force) return ExitCode::Ok;
    std::optional<bool> replace = s.passwords.Confirm(outFile + Tr(kReplaceOutput));
    if (replace.value_or(false)) return ExitCode::Ok;
    return s.Fail(ExitCode::Refused, replace ? kOutputKept : kOutputExists, outFile);
}

// Runs the extraction, then the wipe when asked for, and prints the path last, so that a
// script reading it knows that everything asked for is done.
ExitCode Finish(const CliRequest& r, CliSession& s, Extraction& job, const std::string& outFile) {
    if (Outcome run = job.Run(outFile); !run.completed())
        return Report(s, CarrierCommand::Extract, run);
    s.Tell(kExtractDone);
    if (r.wipe) {
        if (Outcome wiped = job.Wipe(); !wiped.completed())
            return Report(s, CarrierCommand::Wipe, wiped);
        s.Tell(kWiped);
    }
    job.Close();
    s.out << outFile << '\n';
    return ExitCode::Ok;
}

// Version 1 stores its password, which may be empty (the window writes such carriers); version
// 2 derives a key from one, and no key comes from nothing.
ExitCode CheckPassword(CliSession& s, Extraction& extraction) {
    if (!extraction.NeedsPassword()) return ExitCode::Ok;
    if (!s.passwords.CanAsk()) return s.Fail(ExitCode::Usage, kNoTerminal);
    SecretBytes password = s.passwords.Ask(Tr(kPasswordPrompt));
    bool version2 = extraction.PasswordDerivesKey();
    if (version2 && password.empty()) return s.Fail(ExitCode::Usage, kPasswordEmpty);
    if (version2 && !password_rule::FitsVersion2(password.text()))
        return s.Fail(ExitCode::Usage, kEncryptedPasswordLength);
    if (!version2 && !password_rule::FitsVersion1(password.text()))
        return s.Fail(ExitCode::Usage, kPasswordTooLong);
    if (!extraction.AcceptPassword(password))
        return Report(s, CarrierCommand::Extract, Outcome::Of(OutcomeKind::WrongPassword));
    return ExitCode::Ok;
}

}  // namespace

ExitCode RunExtract(const CliRequest& r, CliSession& s) {
    // The picture is opened once, under its lock, from the first check to the wipe; without a
    // marker word only a passphrase can tell whether a version-3 message is there.
    ExitCode refused = ExitCode::Ok;
    OpenedExtraction opened =
        OpenForExtraction(s.ctx, {r.picture, {}}, PassphraseFor(r, s, refused));
    if (refused != ExitCode::Ok) return refused;
    if (!opened.outcome.completed()) return Report(s, CarrierCommand::Extract, opened.outcome);
    Extraction& extraction = *opened.extraction;
    const std::string outFile = extraction.OutputFile(WithSeparator(r.outputDir));
    if (ExitCode code = CheckOutput(r, s, extraction, outFile); code != ExitCode::Ok) return code;
    if (ExitCode code = CheckPassword(s, extraction); code != ExitCode::Ok) return code;
    return Finish(r, s, extraction, outFile);
}

}  // namespace velquist::cli
