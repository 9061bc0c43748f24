#include "cli/CliWipeCommand.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/PictureCheck.h"
#include "engine/CarrierWipe.h"

namespace velquist::cli {

namespace {
constexpr int kCarrier = 1;
}

ExitCode WipePicture(CliSession& s, const std::string& path) {
    try {
        WipeCarrier(s.platform.Files(), kCarrier, path);
    } catch (const FileError& e) {
        return s.Fail(ExitCode::IoFailure, cli_texts::kWipeFailed, e.what());
    }
    s.Tell(cli_texts::kWiped);
    return ExitCode::Ok;
}

ExitCode RunWipe(const CliRequest& r, CliSession& s) {
    CarrierHeader header;
    if (ExitCode code = CheckPicture(s, r.picture, header); code != ExitCode::Ok) return code;
    if (!header.holdsData()) return s.Fail(ExitCode::Refused, cli_texts::kNoHidden);
    return WipePicture(s, r.picture);
}

}  // namespace velquist::cli
