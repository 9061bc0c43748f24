// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliHideCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "cli/OutcomeReport.h"
#include "cli/PictureCheck.h"
#include "engine/EmbedPass.h"
#include "engine/HideOptions.h"
#include "engine/format/PasswordRule.h"
#include "engine/format/StoredNames.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

std::string ExtensionFor(CliSession& s, const std::string& path) {
    if (auto extension = stored_names::StorableExtension(path)) return *extension;
    // The window stops to tell; a script is only warned, since the file still gets hidden.
    s.Tell(kBadExtension);
    return stored_names::kFallbackExtension;
}

ExitCode TakePassword(const CliRequest& r, CliSession& s, HideOptions& options) {
    if (!s.passwords.CanAsk()) return s.Fail(ExitCode::Usage, kNoTerminalForHide);
    std::string password = s.passwords.Ask(Tr(kPasswordFirst));
    if (password.empty()) return s.Fail(ExitCode::Usage, kPasswordEmpty);
    if (!password_rule::FitsVersion1(password)) return s.Fail(ExitCode::Usage, kPasswordTooLong);
    // Standard input is a script's: it gives the password once and has no typos to catch.
    if (!r.passwordStdin && s.passwords.Ask(Tr(kPasswordRepeat)) != password)
        return s.Fail(ExitCode::Refused, kPasswordsDiffer);
    options.protection = Protection::Password;
    options.formatVersion = r.format;
    options.password = password;
    return ExitCode::Ok;
}

}  // namespace

ExitCode RunHide(const CliRequest& r, CliSession& s) {
    CarrierHeader header;
    if (ExitCode code = CheckPicture(s, r.picture, header); code != ExitCode::Ok) return code;
    if (header.holdsData()) return s.Fail(ExitCode::Refused, kHideHasData);
    s.job.ImagePath = r.picture;
    s.job.MsgPath = r.message;
    s.job.MsgExt = ExtensionFor(s, r.message);
    HideOptions options;
    if (r.password) {
        if (ExitCode code = TakePassword(r, s, options); code != ExitCode::Ok) return code;
        if (r.format == 1) s.Tell(kVersion1Warning);
    }
    Outcome outcome = EmbedMsg(s.ctx, options);
    if (!outcome.completed()) return Report(s, CarrierCommand::Hide, outcome);
    s.Tell(kEmbedDone);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
