#include "cli/PictureCheck.h"

#include <sys/stat.h>

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "engine/EngineTexts.h"
#include "workflows/WorkflowTexts.h"

namespace velquist::cli {

namespace {
constexpr int kCarrier = 1;
}

ExitCode CheckPicture(CliSession& session, const std::string& path, CarrierHeader& header) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return session.Fail(ExitCode::BadPicture, cli_texts::kPictureMissing + path);
    if (S_ISDIR(st.st_mode))
        return session.Fail(ExitCode::BadPicture, cli_texts::kPictureIsFolder + path);
    NumberedFiles& files = session.platform.Files();
    try {
        files.OpenReadOnly(kCarrier, path);
        header = ReadCarrierHeader(files, kCarrier);
        files.Close(kCarrier);
    } catch (const FileError& e) {
        files.CloseAllQuietly();
        return session.Fail(ExitCode::IoFailure, cli_texts::kReadFailed + std::string(e.what()));
    }
    switch (header.refusal()) {
    case CarrierRefusal::None:
        break;
    case CarrierRefusal::Damaged:
        return session.Fail(ExitCode::BadPicture, texts::kDamaged);
    case CarrierRefusal::Not24Bit:
        return session.Fail(ExitCode::BadPicture, texts::kNot24Bit);
    case CarrierRefusal::NotUncompressed:
        return session.Fail(ExitCode::BadPicture, texts::kNotUncompressed);
    }
    return ExitCode::Ok;
}

}  // namespace velquist::cli
