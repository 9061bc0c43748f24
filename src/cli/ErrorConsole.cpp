#include "cli/ErrorConsole.h"

#include <algorithm>

namespace velquist::cli {

namespace {
constexpr int kBarWidth = 40;
}

std::string Trimmed(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void ErrorConsole::Say(const std::string& text) {
    EndBar();
    err_ << Trimmed(text) << '\n' << std::flush;
}

void ErrorConsole::SetProgressLabel(const std::string& label) { label_ = Trimmed(label); }

void ErrorConsole::ShowProgress(int percent) {
    if (!isTerminal_) return;
    percent = std::clamp(percent, 0, 100);
    int filled = percent * kBarWidth / 100;
    err_ << '\r' << label_ << " [" << std::string(filled, '#')
         << std::string(kBarWidth - filled, '-') << "] " << percent << '%' << std::flush;
    barOpen_ = true;
}

void ErrorConsole::EndBar() {
    if (!barOpen_) return;
    err_ << '\n';
    barOpen_ = false;
}

}  // namespace velquist::cli
