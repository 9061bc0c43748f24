#include "cli/WipeCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/OutcomeReport.h"
#include "cli/PictureCheck.h"
#include "engine/CarrierWipe.h"
#include "workflows/WorkflowTexts.h"

namespace velquist::cli {

ExitCode RunWipe(const CliRequest& r, CliSession& s) {
    CarrierHeader header;
    if (ExitCode code = CheckPicture(s, r.picture, header); code != ExitCode::Ok) return code;
    if (!header.holdsData()) return s.Fail(ExitCode::Refused, texts::kNoHidden);
    Outcome outcome = WipeHiddenData(s.platform.Files(), r.picture);
    if (!outcome.completed()) return Report(s, CliCommand::Wipe, outcome);
    s.console.Say(texts::kWiped);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
