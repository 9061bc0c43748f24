#pragma once

#include <ostream>
#include <string>

namespace velquist::cli {

// Standard error as the command line uses it: one line per message, and on a terminal a
// progress bar that redraws itself in place until the next message ends its line.
class ErrorConsole {
public:
    ErrorConsole(std::ostream& err, bool isTerminal) : err_(err), isTerminal_(isTerminal) {}

    // Prints a message on its own line, without the blanks that centre it in a window's box.
    void Say(const std::string& text);
    void SetProgressLabel(const std::string& label);
    // Draws the bar at `percent` (0 to 100); does nothing when standard error is no terminal.
    void ShowProgress(int percent);

private:
    void EndBar();

    std::ostream& err_;
    bool isTerminal_;
    bool barOpen_ = false;
    std::string label_;
};

// The text without the blanks before and after it.
std::string Trimmed(const std::string& text);

}  // namespace velquist::cli
