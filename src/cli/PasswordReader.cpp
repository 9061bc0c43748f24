// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PasswordReader.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "cli/SignalCleanup.h"

namespace velquist::cli {

namespace {

// A terminal for one question, put back as it was, echo included, when done or when a
// signal ends the process meanwhile.
class QuietTerminal {
public:
    // Opens the terminal at `path` for the question.
    explicit QuietTerminal(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)), owned_(true) {
        Prepare();
    }
    // Uses the descriptor `fd` (standard input), which stays open.
    explicit QuietTerminal(int fd) : fd_(::isatty(fd) == 1 ? fd : -1), owned_(false) { Prepare(); }
    ~QuietTerminal() {
        if (fd_ < 0) return;
        ::tcsetattr(fd_, TCSANOW, &saved_);
        SignalCleanup::ReleaseTerminal();
        if (owned_) ::close(fd_);
    }
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

    bool ok() const { return fd_ >= 0; }

    void Write(const std::string& text) const {
        std::size_t done = 0;
        while (done < text.size()) {
            ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }

    // A yes-or-no answer, typed visibly.
    std::string AskEchoed(const std::string& prompt) const {
        Write(prompt);
        std::string line;
        char c;
        while (::read(fd_, &c, 1) == 1 && c != '\n') line.push_back(c);
        return line;
    }

    // Echo goes off before the prompt shows, so nothing typed after it can appear.
    std::string AskUnechoed(const std::string& prompt) const {
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        SignalCleanup::GuardTerminal(fd_, saved_);
        ::tcsetattr(fd_, TCSAFLUSH, &quiet);
        Write(prompt);
        std::string line;
        char c;
        while (::read(fd_, &c, 1) == 1 && c != '\n') line.push_back(c);
        return line;
    }

private:
    void Prepare() {
        if (fd_ < 0 || ::tcgetattr(fd_, &saved_) == 0) return;
        if (owned_) ::close(fd_);
        fd_ = -1;
    }

    int fd_;
    bool owned_;
    termios saved_{};
};

std::string WithoutCarriageReturn(std::string line) {
    if (line.ends_with('\r')) line.pop_back();
    return line;
}

}  // namespace

std::optional<bool> PasswordReader::Confirm(const std::string& question) {
    QuietTerminal terminal(terminalPath_);
    if (!terminal.ok()) return std::nullopt;
    std::string answer = terminal.AskEchoed(question);
    return answer.starts_with('y') || answer.starts_with('Y');
}

bool PasswordReader::CanAsk() const { return fromStdin_ || QuietTerminal(terminalPath_).ok(); }

std::string PasswordReader::Ask(const std::string& prompt) {
    if (fromStdin_) {
        if (QuietTerminal typed(inFd_); typed.ok()) return WithoutCarriageReturn(typed.AskUnechoed(prompt));
        std::string line;
        std::getline(in_, line);
        return WithoutCarriageReturn(line);
    }
    QuietTerminal terminal(terminalPath_);
    if (!terminal.ok()) return "";
    return WithoutCarriageReturn(terminal.AskUnechoed(prompt));
}

}  // namespace velquist::cli
