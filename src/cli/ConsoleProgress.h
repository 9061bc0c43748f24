// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/PassProgress.h"

namespace velquist::cli {

class ErrorConsole;

// A pass's reports as a terminal shows them: the status labels the progress bar, and the
// percentage moves it. Every outcome also arrives as a message, so nothing else is said here.
class ConsoleProgress : public PassProgress {
public:
    explicit ConsoleProgress(ErrorConsole& console) : console_(console) {}

    void Status(PassStatus status) override;
    void Percent(int percent) override;

private:
    ErrorConsole& console_;
};

}  // namespace velquist::cli
