#include "cli/PassOutcome.h"

#include "engine/EngineTexts.h"

namespace velquist::cli {

ExitCode ExitCodeForFailedPass(const std::string& lastErrorPrompt) {
    if (lastErrorPrompt == texts::kTooLarge) return ExitCode::Refused;
    if (lastErrorPrompt == texts::kDamaged) return ExitCode::BadPicture;
    return ExitCode::IoFailure;
}

}  // namespace velquist::cli
