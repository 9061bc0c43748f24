// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleWindow.h"

#include <cstdlib>

#include "cli/ErrorConsole.h"
#include "cli/Localization.h"

namespace velquist::cli {

void ConsoleWindow::SetStatusCaption(const std::string& text) { console_.SetProgressLabel(Shown(text)); }

// The engine writes the percentage as "45%".
void ConsoleWindow::SetPercentCaption(const std::string& text) {
    console_.ShowProgress(std::atoi(text.c_str()));
}

}  // namespace velquist::cli
