// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliExtractCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "cli/OutcomeReport.h"
#include "cli/PictureCheck.h"
#include "engine/ExtractionJob.h"
#include "engine/format/StoredNames.h"
#include "platform/FolderPath.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

// An existing output is replaced with --force or when the user says so on the terminal;
// a script without either is refused rather than having its file replaced.
Outcome CheckOutput(const CliRequest& r, CliSession& s, ExtractionJob& extraction) {
    OutputTarget target = extraction.CheckOutput(s.job.OutFile);
    if (!target.verdict.completed() || !target.replaces || r.force) return target.verdict;
    std::optional<bool> replace = s.passwords.Confirm(s.job.OutFile + Tr(kReplaceOutput));
    if (replace.value_or(false)) return target.verdict;
    return Outcome::Of(OutcomeKind::Declined, s.job.OutFile);
}

ExitCode CheckPassword(CliSession& s, ExtractionJob& extraction) {
    if (!extraction.NeedsPassword()) return ExitCode::Ok;
    if (!s.passwords.CanAsk()) return s.Fail(ExitCode::Usage, kNoTerminal);
    std::string password = s.passwords.Ask(Tr(kPasswordPrompt));
    if (password.empty()) return s.Fail(ExitCode::Usage, kPasswordEmpty);
    if (!extraction.AcceptPassword(password))
        return Report(s, CarrierCommand::Extract, Outcome::Of(OutcomeKind::WrongPassword));
    return ExitCode::Ok;
}

}  // namespace

ExitCode RunExtract(const CliRequest& r, CliSession& s) {
    CarrierHeader checked;
    if (ExitCode code = CheckPicture(s, r.picture, checked); code != ExitCode::Ok) return code;
    if (!checked.holdsData()) return s.Fail(ExitCode::Refused, kNothingToExtract);
    s.job.ImagePath = r.picture;
    ExtractionJob extraction(s.ctx);
    if (Outcome opened = extraction.Open(); !opened.completed())
        return Report(s, CarrierCommand::Extract, opened);
    s.job.MsgExt = extraction.header().SafeExtension();
    s.job.OutPath = WithSeparator(r.outputDir);
    s.job.OutFile = stored_names::OutputFileFor(s.job.OutPath, s.job.MsgExt);
    if (Outcome output = CheckOutput(r, s, extraction); !output.completed())
        return Report(s, CarrierCommand::Extract, output);
    if (ExitCode code = CheckPassword(s, extraction); code != ExitCode::Ok) return code;
    if (Outcome run = extraction.Run(s.job.OutFile); !run.completed())
        return Report(s, CarrierCommand::Extract, run);
    s.Tell(kExtractDone);
    if (r.wipe) {
        if (Outcome wiped = extraction.Wipe(); !wiped.completed())
            return Report(s, CarrierCommand::Wipe, wiped);
        s.Tell(kWiped);
    }
    extraction.Close();
    // Last, so that a script reading the path knows that everything asked for is done.
    s.out << s.job.OutFile << '\n';
    return ExitCode::Ok;
}

}  // namespace velquist::cli
