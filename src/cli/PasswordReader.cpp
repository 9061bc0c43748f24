// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PasswordReader.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/SignalCleanup.h"

namespace velquist::cli {

namespace {

// One line from `next` (which yields a byte, or nothing at the end), without its line end.
template <typename Next>
SecretBytes TakeLine(Next next) {
    SecretBytes line(PasswordReader::kLongest);
    while (std::optional<std::uint8_t> byte = next()) {
        if (*byte == '\n') break;
        line.Push(*byte);  // the rest of a line too long for any password is dropped
    }
    if (!line.empty() && line.data()[line.size() - 1] == '\r') line.Resize(line.size() - 1);
    return line;
}

SecretBytes ReadLine(int fd) {
    return TakeLine([fd]() -> std::optional<std::uint8_t> {
        std::uint8_t byte = 0;
        ssize_t got = 0;
        do got = ::read(fd, &byte, 1);
        while (got < 0 && errno == EINTR);
        if (got != 1) return std::nullopt;
        return byte;
    });
}

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
    SecretBytes AskUnechoed(const std::string& prompt) const {
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        SignalCleanup::GuardTerminal(fd_, saved_);
        ::tcsetattr(fd_, TCSAFLUSH, &quiet);
        Write(prompt);
        return ReadLine(fd_);
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

}  // namespace

std::optional<bool> PasswordReader::Confirm(const std::string& question) {
    QuietTerminal terminal(terminalPath_);
    if (!terminal.ok()) return std::nullopt;
    std::string answer = terminal.AskEchoed(question);
    return answer.starts_with('y') || answer.starts_with('Y');
}

bool PasswordReader::CanAsk() const { return fromStdin_ || QuietTerminal(terminalPath_).ok(); }

SecretBytes PasswordReader::Ask(const std::string& prompt) {
    if (fromStdin_) {
        if (QuietTerminal typed(inFd_); typed.ok()) return typed.AskUnechoed(prompt);
        // Straight from the descriptor: a stream's buffer would keep a copy of the password.
        if (inFd_ >= 0) return ReadLine(inFd_);
        return TakeLine([this]() -> std::optional<std::uint8_t> {
            char c = 0;
            if (!in_.get(c)) return std::nullopt;
            return static_cast<std::uint8_t>(c);
        });
    }
    QuietTerminal terminal(terminalPath_);
    if (!terminal.ok()) return SecretBytes();
    return terminal.AskUnechoed(prompt);
}

}  // namespace velquist::cli
