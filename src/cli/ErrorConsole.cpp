// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ErrorConsole.h"

#include <algorithm>

namespace velquist::cli {

namespace {

constexpr int kLongestBar = 40;
constexpr int kShortestBar = 5;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

std::string Trimmed(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Characters of three bytes or more in UTF-8 start at U+0800, where the wide scripts are;
// close enough for a label and a bar.
int DisplayWidth(const std::string& text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

void ErrorConsole::Say(const std::string& text) {
    EndBar();
    err_ << Trimmed(text) << '\n' << std::flush;
}

void ErrorConsole::SetProgressLabel(const std::string& label) { label_ = Trimmed(label); }

void ErrorConsole::ShowProgress(int percent) {
    if (!isTerminal_) return;
    percent = std::clamp(percent, 0, 100);
    auto now = clock_();
    bool due = shownPercent_ < 0 || percent == 100 || now - shownAt_ >= kRedrawInterval;
    if (percent == shownPercent_ || !due) return;
    err_ << '\r' << BarLine(percent) << std::flush;
    barOpen_ = true;
    shownPercent_ = percent;
    shownAt_ = now;
}

// "label [####----] 45%", the bar shortened and then the label dropped to stay within the
// last column but one, so the terminal never wraps the line.
std::string ErrorConsole::BarLine(int percent) const {
    std::string number = std::to_string(percent) + "%";
    int room = columns_ - 1 - static_cast<int>(number.size()) - 3;
    std::string label = label_;
    if (room - DisplayWidth(label) - 1 < kShortestBar) label.clear();
    int bar = std::min(kLongestBar, room - (label.empty() ? 0 : DisplayWidth(label) + 1));
    if (bar < kShortestBar) return number;
    int filled = percent * bar / 100;
    return (label.empty() ? "" : label + " ") + "[" + std::string(filled, '#') +
           std::string(bar - filled, '-') + "] " + number;
}

void ErrorConsole::EndBar() {
    if (!barOpen_) return;
    err_ << '\n';
    barOpen_ = false;
    shownPercent_ = -1;
}

}  // namespace velquist::cli
