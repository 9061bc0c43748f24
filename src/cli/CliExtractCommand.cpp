#include "cli/CliExtractCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/PassOutcome.h"
#include "cli/PictureCheck.h"
#include "cli/CliWipeCommand.h"
#include "engine/ExtractionJob.h"
#include "workflows/WorkflowTexts.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

std::string FolderPrefix(const std::string& folder) {
    return folder.ends_with('/') ? folder : folder + "/";
}

ExitCode CheckPassword(CliSession& s, const CarrierHeader& header) {
    if (!s.passwords.CanAsk()) return s.Fail(ExitCode::Usage, kNoTerminal);
    std::string password = s.platform.InputBox(kPasswordPrompt, texts::kPasswordTitle, true);
    if (password.empty()) return s.Fail(ExitCode::Usage, kPasswordEmpty);
    if (password != header.StoredPassword()) return s.Fail(ExitCode::Refused, kWrongPassword);
    return ExitCode::Ok;
}

// Checked in the window's order: version, then whether the stored message can be there at
// all, then (on the carrier's own flag byte) the password.
ExitCode CheckCarrier(CliSession& s, const CarrierHeader& header) {
    if (!header.isVersion1()) return s.Fail(ExitCode::Refused, kOtherVersion);
    if (!header.storedMessageFits() || (header.isProtected() && !header.passwordReadable))
        return s.Fail(ExitCode::BadPicture, kDamaged);
    return header.isProtected() ? CheckPassword(s, header) : ExitCode::Ok;
}

}  // namespace

ExitCode RunExtract(const CliRequest& r, CliSession& s) {
    CarrierHeader checked;
    if (ExitCode code = CheckPicture(s, r.picture, checked); code != ExitCode::Ok) return code;
    if (!checked.holdsData()) return s.Fail(ExitCode::Refused, kNothingToExtract);
    s.job.ImagePath = r.picture;
    s.job.MsgExt = checked.SafeExtension();
    s.job.OutPath = FolderPrefix(r.outputDir);
    s.job.OutFile = s.job.OutPath + texts::kOutputStem + s.job.MsgExt;

    ExtractionJob extraction(s.ctx);
    try {
        extraction.Open(s.job.OutFile);
    } catch (const FileError& e) {
        return s.Fail(ExitCode::IoFailure, kOutputFailed, e.what());
    }
    if (ExitCode code = CheckCarrier(s, extraction.header()); code != ExitCode::Ok) return code;
    if (extraction.Run() == PassResult::Failed) return ExitCodeForFailedPass(s.platform.lastError());
    extraction.Close();
    s.Tell(kExtractDone);
    if (r.wipe) {
        if (ExitCode code = WipePicture(s, r.picture); code != ExitCode::Ok) return code;
    }
    // Last, so that a script reading the path knows that everything asked for is done.
    s.out << s.job.OutFile << '\n';
    return ExitCode::Ok;
}

}  // namespace velquist::cli
