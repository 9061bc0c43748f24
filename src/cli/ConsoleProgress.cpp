// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleProgress.h"

#include "cli/CliTexts.h"
#include "cli/ErrorConsole.h"
#include "cli/Localization.h"

namespace velquist::cli {

void ConsoleProgress::Status(PassStatus status) {
    const char* label = status == PassStatus::VerifyingPassword ? cli_texts::kVerifyingPassword
                                                                 : cli_texts::kProgress;
    console_.SetProgressLabel(Tr(label));
}

void ConsoleProgress::Percent(int percent) { console_.ShowProgress(percent); }

}  // namespace velquist::cli
