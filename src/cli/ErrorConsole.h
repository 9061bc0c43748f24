// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

namespace velquist::cli {

using ProgressClock = std::function<std::chrono::steady_clock::time_point()>;

// Standard error as the command line uses it: one line per message, and on a terminal a
// progress bar that redraws itself in place until the next message ends its line.
class ErrorConsole {
public:
    // `columns` is the terminal's width; `clock` paces the redraws.
    ErrorConsole(std::ostream& err, bool isTerminal, int columns, ProgressClock clock)
        : err_(err), isTerminal_(isTerminal), columns_(columns), clock_(std::move(clock)) {}
    // A bar still open gets its line ended.
    ~ErrorConsole() { EndBar(); }
    ErrorConsole(const ErrorConsole&) = delete;
    ErrorConsole& operator=(const ErrorConsole&) = delete;

    // Prints a message on its own line, without the blanks that centre it in a window's box.
    void Say(const std::string& text);
    void SetProgressLabel(const std::string& label);
    // Draws the bar at `percent` (0 to 100), within the terminal's width and at most ten
    // times a second, 100% always; does nothing when standard error is no terminal.
    void ShowProgress(int percent);

private:
    void EndBar();
    std::string BarLine(int percent) const;

    std::ostream& err_;
    bool isTerminal_;
    int columns_;
    ProgressClock clock_;
    bool barOpen_ = false;
    int shownPercent_ = -1;
    std::chrono::steady_clock::time_point shownAt_{};
    std::string label_;
};

// The text without the blanks before and after it.
std::string Trimmed(const std::string& text);
// The columns `text` (UTF-8) takes on a terminal: two for each wide (East Asian) character.
int DisplayWidth(const std::string& text);

}  // namespace velquist::cli
