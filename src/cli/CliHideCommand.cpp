// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliHideCommand.h"

#include <algorithm>

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/OutcomeReport.h"
#include "cli/PictureCheck.h"
#include "engine/CarrierFormat.h"
#include "engine/EmbedPass.h"
#include "workflows/MessageSelection.h"
#include "workflows/WorkflowTexts.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

constexpr std::size_t kMaxPasswordLength = 8;

std::string ExtensionFor(CliSession& s, const std::string& path) {
    if (auto extension = MessageSelection::StorableExtension(path)) return *extension;
    // The window stops to tell; a script is only warned, since the file still gets hidden.
    s.Tell(kBadExtension);
    return texts::kFallbackExtension;
}

// The carrier keeps one byte per password character in an 8-byte field.
bool StorablePassword(const std::string& password) {
    return password.size() <= kMaxPasswordLength &&
           std::all_of(password.begin(), password.end(), [](char c) { return c >= ' ' && c < 0x7F; });
}

ExitCode TakePassword(const CliRequest& r, CliSession& s) {
    if (!s.passwords.CanAsk()) return s.Fail(ExitCode::Usage, kNoTerminalForHide);
    std::string password = s.platform.InputBox(kPasswordFirst, "", true);
    if (password.empty()) return s.Fail(ExitCode::Usage, kPasswordEmpty);
    if (!StorablePassword(password)) return s.Fail(ExitCode::Usage, kPasswordTooLong);
    // Standard input is a script's: it gives the password once and has no typos to catch.
    if (!r.passwordStdin && s.platform.InputBox(kPasswordRepeat, "", true) != password)
        return s.Fail(ExitCode::Refused, kPasswordsDiffer);
    s.job.Password = password;
    s.job.PwdLen = static_cast<std::uint8_t>(password.size());
    s.job.PwdFlag = carrier::kProtectedFlagByte;
    s.window.TickPassword(true);
    s.window.TickEncrypt(r.format == 2);
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
    if (r.password) {
        if (ExitCode code = TakePassword(r, s); code != ExitCode::Ok) return code;
        if (r.format == 1) s.Tell(kVersion1Warning);
    }
    Outcome outcome = EmbedMsg(s.ctx);
    if (!outcome.completed()) return Report(s, CarrierCommand::Hide, outcome);
    s.Tell(kEmbedDone);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
