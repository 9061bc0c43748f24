#include "cli/ExtractCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/PassOutcome.h"
#include "cli/PictureCheck.h"
#include "cli/WipeCommand.h"
#include "engine/EngineTexts.h"
#include "engine/ExtractionJob.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

constexpr const char* kPasswordTitle = "核实权限";

std::string FolderPrefix(const std::string& folder) {
    return folder.ends_with('/') ? folder : folder + "/";
}

// The carrier's own flag byte decides, so a protected message is never given away.
ExitCode CheckPassword(CliSession& s, const CarrierHeader& header) {
    if (!header.passwordReadable) return s.Fail(ExitCode::BadPicture, texts::kDamaged);
    if (!s.passwords.CanAsk()) return s.Fail(ExitCode::Usage, kNoTerminal);
    if (s.platform.InputBox(kPasswordPrompt, kPasswordTitle, true) != header.StoredPassword())
        return s.Fail(ExitCode::Refused, kWrongPassword);
    return ExitCode::Ok;
}

}  // namespace

ExitCode RunExtract(const CliRequest& r, CliSession& s) {
    CarrierHeader checked;
    if (ExitCode code = CheckPicture(s, r.picture, checked); code != ExitCode::Ok) return code;
    if (!checked.holdsData()) return s.Fail(ExitCode::Refused, kNothingToExtract);
    s.job.ImagePath = r.picture;
    s.job.MsgExt = checked.SafeExtension();
    s.job.OutPath = FolderPrefix(r.outputDir);
    s.job.OutFile = s.job.OutPath + "output." + s.job.MsgExt;

    ExtractionJob extraction(s.ctx);
    try {
        extraction.Open(s.job.OutFile);
    } catch (const FileError& e) {
        return s.Fail(ExitCode::IoFailure, kOutputFailed + std::string(e.what()));
    }
    const CarrierHeader& header = extraction.header();
    if (!header.isVersion1()) return s.Fail(ExitCode::Refused, kOtherVersion);
    if (header.isProtected()) {
        if (ExitCode code = CheckPassword(s, header); code != ExitCode::Ok) return code;
    }
    if (extraction.Run() == PassResult::Failed) return ExitCodeForFailedPass(s.platform.lastError());
    extraction.Close();
    s.console.Say(kExtractDone);
    s.out << s.job.OutFile << '\n' << std::flush;
    return r.wipe ? WipePicture(s, r.picture) : ExitCode::Ok;
}

}  // namespace velquist::cli
