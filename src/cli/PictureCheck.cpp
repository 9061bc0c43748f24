#include "cli/PictureCheck.h"

#include <sys/stat.h>

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "engine/CarrierFormat.h"
#include "engine/EngineTexts.h"
#include "workflows/WorkflowTexts.h"

namespace velquist::cli {

namespace {
constexpr int kCarrier = 1;
}

ExitCode CheckPicture(CliSession& session, const std::string& path, CarrierHeader& header) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return session.Fail(ExitCode::BadPicture, cli_texts::kPictureMissing, path);
    if (S_ISDIR(st.st_mode))
        return session.Fail(ExitCode::BadPicture, cli_texts::kPictureIsFolder, path);
    NumberedFiles& files = session.platform.Files();
    try {
        files.OpenReadOnly(kCarrier, path);
        header = ReadCarrierHeader(files, kCarrier);
        files.Close(kCarrier);
    } catch (const FileError& e) {
        files.CloseAllQuietly();
        return session.Fail(ExitCode::IoFailure, cli_texts::kReadFailed, e.what());
    }
    // Too short to hold a bit count at all is damage, not another colour depth.
    if (header.damage == CarrierDamage::TooShort)
        return session.Fail(ExitCode::BadPicture, cli_texts::kDamaged);
    if (header.bitCount != carrier::kRequiredBitCount)
        return session.Fail(ExitCode::BadPicture, cli_texts::kNot24Bit);
    if (header.damaged() || (header.holdsData() && !header.hasHeaderGroup))
        return session.Fail(ExitCode::BadPicture, cli_texts::kDamaged);
    return ExitCode::Ok;
}

}  // namespace velquist::cli
